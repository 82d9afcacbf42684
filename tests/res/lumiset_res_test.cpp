// The compiled lumiset.res, read as the simulated machine reads it: which resources exist in
// which language, and the templates, menus, strings and images the program relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/res/res_file.h"
#include "res/resource.h"
#include "res/resource_bytes.h"

namespace {

using sim::res::DialogItem;
using sim::res::DialogTemplate;
using sim::res::MenuItem;
using sim::res::ResFile;
using sim::res::ResourceName;

constexpr WORD kZhCn = 2052;
constexpr WORD kZhTw = 1028;
constexpr WORD kEnUs = 1033;

constexpr DWORD kWsPopup = 0x80000000;
constexpr DWORD kWsChild = 0x40000000;
constexpr DWORD kWsVisible = 0x10000000;
constexpr DWORD kWsDisabled = 0x08000000;
constexpr DWORD kWsCaption = 0x00C00000;
constexpr DWORD kWsSysMenu = 0x00080000;
constexpr DWORD kWsGroup = 0x00020000;
constexpr DWORD kWsTabStop = 0x00010000;
constexpr DWORD kWsBorder = 0x00800000;
constexpr DWORD kWsExAppWindow = 0x00040000;
constexpr DWORD kDsModalFrame = 0x80;
constexpr DWORD kDsSetFont = 0x40;
constexpr DWORD kDs3dLook = 0x04;
constexpr DWORD kBsPushButton = 0x0;
constexpr DWORD kBsDefPushButton = 0x1;
constexpr DWORD kBsAutoCheckBox = 0x3;
constexpr DWORD kBsAutoRadioButton = 0x9;
constexpr DWORD kBsTypeMask = 0xF;
constexpr DWORD kBsIcon = 0x40;
constexpr DWORD kSsIcon = 0x3;
constexpr DWORD kSsNoPrefix = 0x80;
constexpr DWORD kEsRight = 0x2;
constexpr DWORD kEsAutoHScroll = 0x80;
constexpr DWORD kEsReadOnly = 0x800;
constexpr DWORD kTbsVert = 0x2;
constexpr DWORD kTbsBoth = 0x8;
constexpr DWORD kTbsNoTicks = 0x10;

class LumisetResTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        auto parsed = ResFile::Parse(LumisetResourceBytes());
        ASSERT_TRUE(parsed.has_value());
        file = new ResFile(std::move(*parsed));
    }
    static void TearDownTestSuite() {
        delete file;
        file = nullptr;
    }

    static DialogTemplate Dialog(WORD id, WORD lang) {
        auto dialog = file->Dialog(id, lang);
        EXPECT_TRUE(dialog.has_value()) << "dialog " << id << " in " << lang;
        return dialog.value_or(DialogTemplate{});
    }

    static inline const ResFile* file = nullptr;
};

const DialogItem* ItemById(const DialogTemplate& dialog, DWORD id) {
    for (const auto& item : dialog.items) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

// The menu's shape without its texts: flags, ids and nesting.
std::string Shape(const std::vector<MenuItem>& items) {
    std::string shape;
    for (const auto& item : items) {
        shape += std::to_string(item.flags) + ":" + std::to_string(item.id);
        if (item.IsPopup()) {
            shape += "[" + Shape(item.children) + "]";
        }
        shape += ",";
    }
    return shape;
}

TEST_F(LumisetResTest, EveryResourceExistsInExactlyItsLanguages) {
    using Key = std::pair<WORD, WORD>;  // type, name
    const std::set<WORD> all = {kZhCn, kZhTw, kEnUs};
    const std::set<WORD> zh_cn = {kZhCn};
    const std::set<WORD> zh_tw = {kZhTw};
    const std::map<Key, std::set<WORD>> expected = {
        {{sim::res::kTypeMenu, IDR_LONG_MENU}, all},
        {{sim::res::kTypeMenu, IDR_TRAY_MENU}, all},
        {{sim::res::kTypeDialog, IDD_ZOOM}, all},
        {{sim::res::kTypeString, 1}, all},
        {{sim::res::kTypeDialog, IDD_ABOUT}, zh_cn},
        {{sim::res::kTypeDialog, IDD_PROPERTY_HOST}, zh_cn},
        {{sim::res::kTypeDialog, IDD_IMAGE_CONTROL}, zh_cn},
        {{sim::res::kTypeDialog, IDD_EFFECT}, zh_cn},
        {{sim::res::kTypeDialog, IDD_SETTINGS}, all},
        {{sim::res::kTypeBitmap, IDB_MENU_MARK}, zh_cn},
        {{sim::res::kTypeGroupIcon, IDI_ARROW_UP}, zh_cn},
        {{sim::res::kTypeGroupIcon, IDI_ARROW_DOWN}, zh_cn},
        {{sim::res::kTypeGroupIcon, IDI_ARROW_LEFT}, zh_cn},
        {{sim::res::kTypeGroupIcon, IDI_ARROW_RIGHT}, zh_cn},
        {{sim::res::kTypeGroupIcon, IDI_TRAY}, zh_tw},
        {{sim::res::kTypeGroupIcon, IDI_TRAY_OFF}, zh_tw},
        {{sim::res::kTypeGroupIcon, IDI_LENS}, zh_tw},
        {{sim::res::kTypeGroupIcon, IDI_POWER}, zh_tw},
        {{sim::res::kTypeGroupIcon, IDI_WEBCAM_SMALL}, zh_tw},
        {{sim::res::kTypeVersion, 1}, zh_cn},
        {{sim::res::kTypeManifest, 1}, zh_cn},
    };

    std::map<Key, std::set<WORD>> found;
    std::map<WORD, WORD> icon_languages;  // RT_ICON id -> language
    for (const auto& entry : file->entries()) {
        ASSERT_TRUE(entry.type.is_ordinal && entry.name.is_ordinal)
            << entry.type.ToString() << " " << entry.name.ToString();
        if (entry.type.ordinal == sim::res::kTypeIcon) {
            EXPECT_TRUE(icon_languages.emplace(entry.name.ordinal, entry.language).second);
            continue;
        }
        const Key key{entry.type.ordinal, entry.name.ordinal};
        EXPECT_TRUE(found[key].insert(entry.language).second)
            << "duplicate " << entry.type.ToString() << " " << entry.name.ToString();
    }
    EXPECT_EQ(found, expected);

    // Every image of an icon group is stored under the group's language, and no image is
    // left over.
    std::size_t images = 0;
    for (const auto& [key, languages] : expected) {
        if (key.first != sim::res::kTypeGroupIcon) {
            continue;
        }
        const WORD lang = *languages.begin();
        const auto group =
            file->Find(ResourceName::Id(key.first), ResourceName::Id(key.second), lang);
        ASSERT_TRUE(group.has_value());
        const auto directory = sim::res::ParseIconDirectory(*group);
        ASSERT_TRUE(directory.has_value());
        for (const auto& image : *directory) {
            ++images;
            ASSERT_TRUE(icon_languages.count(image.icon_id)) << "icon image " << image.icon_id;
            EXPECT_EQ(icon_languages[image.icon_id], lang) << "icon image " << image.icon_id;
        }
    }
    EXPECT_EQ(images, icon_languages.size());
}

TEST_F(LumisetResTest, LanguageChoiceFollowsTheUserLanguage) {
    auto tray_title = [](WORD lang) {
        const auto menu = file->Menu(IDR_TRAY_MENU, lang);
        return menu && menu->items.size() == 1 ? menu->items[0].text : u"(none)";
    };
    EXPECT_EQ(tray_title(kEnUs), u"Menu");
    EXPECT_EQ(tray_title(kZhCn), u"菜单");
    EXPECT_EQ(tray_title(kZhTw), u"選單");
    EXPECT_EQ(tray_title(0x0411), u"Menu");  // Japanese: English is the fallback

    // A resource in one language serves every language.
    for (const WORD lang : {kEnUs, kZhTw, WORD{0x0411}}) {
        EXPECT_EQ(Dialog(IDD_PROPERTY_HOST, lang).title, u"Property");
        EXPECT_TRUE(file->Icon(IDI_TRAY, 16, 16, lang).has_value());
        EXPECT_TRUE(file->Bitmap(IDB_MENU_MARK, lang).has_value());
        EXPECT_TRUE(file->Icon(IDI_ARROW_UP, 32, 32, lang).has_value());
    }
    EXPECT_EQ(file->Languages(ResourceName::Id(sim::res::kTypeDialog),
                              ResourceName::Id(IDD_PROPERTY_HOST)),
              std::vector<WORD>{kZhCn});
}

TEST_F(LumisetResTest, HostTemplateIsTheSingleInstanceMarker) {
    const DialogTemplate host = Dialog(IDD_PROPERTY_HOST, kZhCn);
    EXPECT_TRUE(host.extended);
    EXPECT_EQ(host.title, u"Property");
    EXPECT_EQ(host.class_name, u"#32770");
    EXPECT_EQ(host.style,
              kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont);
    EXPECT_EQ(host.ex_style, kWsExAppWindow);
    EXPECT_EQ((std::vector<int>{host.x, host.y, host.cx, host.cy}),
              (std::vector<int>{0, 0, 279, 362}));
    EXPECT_EQ(host.typeface, u"宋体");
    EXPECT_EQ(host.point_size, 9);
    EXPECT_TRUE(host.menu.empty());

    struct Expected {
        DWORD id;
        std::u16string class_name, text;
        int x, y, cx, cy;
        DWORD style;
    };
    const DWORD push = kWsChild | kWsVisible | kWsTabStop | kBsPushButton;
    const Expected controls[] = {
        {IDC_HOST_CANCEL, u"Button", u"Cancel", 160, 342, 50, 16, push},
        {IDC_HOST_OK, u"Button", u"OK", 99, 342, 50, 16, push},
        {IDC_HOST_TAB, u"SysTabControl32", u"Tab1", 17, 7, 257, 329, kWsChild | kWsVisible},
        {IDC_HOST_APPLY, u"Button", u"Apply(&A)", 224, 342, 50, 16, push | kWsDisabled},
    };
    ASSERT_EQ(host.items.size(), std::size(controls));
    for (std::size_t i = 0; i < host.items.size(); ++i) {
        const auto& item = host.items[i];
        const auto& want = controls[i];
        EXPECT_EQ(item.id, want.id);
        EXPECT_TRUE(item.IsClass(want.class_name)) << want.id;
        EXPECT_EQ(item.text, want.text);
        EXPECT_EQ((std::vector<int>{item.x, item.y, item.cx, item.cy}),
                  (std::vector<int>{want.x, want.y, want.cx, want.cy}))
            << want.id;
        EXPECT_EQ(item.style, want.style) << want.id;
        EXPECT_EQ(item.ex_style, 0u) << want.id;
    }
}

TEST_F(LumisetResTest, AboutTemplate) {
    const DialogTemplate about = Dialog(IDD_ABOUT, kZhCn);
    EXPECT_EQ(about.title, u"关于 Lumiset");
    EXPECT_EQ(about.style, kWsPopup | kWsCaption | kDsModalFrame | kDsSetFont);
    EXPECT_EQ(about.cx, 235);
    EXPECT_EQ(about.cy, 56);
    EXPECT_EQ(about.typeface, u"宋体");
    EXPECT_EQ(about.point_size, 9);
    ASSERT_EQ(about.items.size(), 4u);

    const auto& icon = about.items[0];
    EXPECT_TRUE(icon.IsClass(u"Static"));
    EXPECT_EQ(icon.style & 0xFF, kSsIcon);
    EXPECT_TRUE(icon.text_is_ordinal);
    EXPECT_EQ(icon.text_ordinal, IDI_ABOUT);
    EXPECT_EQ((std::vector<int>{icon.x, icon.y, icon.cx, icon.cy}),
              (std::vector<int>{11, 17, 21, 21}));
    EXPECT_EQ(about.items[1].text, u"Lumiset 1.0 版");
    EXPECT_TRUE(about.items[1].style & kSsNoPrefix);
    EXPECT_EQ((std::vector<int>{about.items[2].x, about.items[2].y}), (std::vector<int>{40, 25}));
    const auto& ok = about.items[3];
    EXPECT_EQ(ok.id, 1u);
    EXPECT_EQ(ok.text, u"确定");
    EXPECT_EQ(ok.style & kBsTypeMask, kBsDefPushButton);
    EXPECT_EQ((std::vector<int>{ok.x, ok.y, ok.cx, ok.cy}), (std::vector<int>{178, 7, 50, 14}));
}

TEST_F(LumisetResTest, TrayMenuHasTheSameItemsInEveryLanguage) {
    for (const WORD lang : {kZhCn, kZhTw, kEnUs}) {
        const auto menu = file->Menu(IDR_TRAY_MENU, lang);
        ASSERT_TRUE(menu.has_value());
        ASSERT_EQ(menu->items.size(), 1u);
        ASSERT_TRUE(menu->items[0].IsPopup());
        const auto& items = menu->items[0].children;
        const std::vector<std::pair<std::u16string, UINT>> expected = {
            {u"50Hz", ID_FLICKER_50HZ}, {u"60Hz", ID_FLICKER_60HZ}, {u"", 0},
            {u"On", ID_CAMERA_ON},      {u"Off", ID_CAMERA_OFF},    {u"", 0},
            {u"Exit", ID_EXIT},
        };
        ASSERT_EQ(items.size(), expected.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].text, expected[i].first);
            EXPECT_EQ(items[i].id, expected[i].second);
            EXPECT_EQ(items[i].IsSeparator(), expected[i].second == 0);
            EXPECT_FALSE(items[i].flags & sim::res::kMenuChecked);
            EXPECT_FALSE(items[i].flags & (sim::res::kMenuGrayed | sim::res::kMenuDisabled));
        }
    }
}

TEST_F(LumisetResTest, LongMenuStructure) {
    const auto english = file->Menu(IDR_LONG_MENU, kEnUs);
    ASSERT_TRUE(english.has_value());
    ASSERT_EQ(english->items.size(), 1u);
    const auto& top = english->items[0];
    EXPECT_EQ(top.text, u"Menu");
    ASSERT_EQ(top.children.size(), 14u);

    std::vector<std::u16string> texts;
    std::vector<UINT> ids;
    for (const auto& item : top.children) {
        texts.push_back(item.IsSeparator() ? u"-" : item.text);
        ids.push_back(item.id);
    }
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"Open Property Page", u"-", u"Special Effect",
                                                  u"-", u"Snap Shot", u"-", u"Zoom", u"-",
                                                  u"Face Tracking", u"-", u"Enable  Camera",
                                                  u"Disable Camera", u"-", u"Exit"}));
    EXPECT_EQ(ids, (std::vector<UINT>{ID_OPEN_PROPERTY_PAGE, 0, 0, 0, ID_SNAP_SHOT, 0, ID_ZOOM, 0,
                                      0, 0, ID_CAMERA_ON, ID_CAMERA_OFF, 0, ID_EXIT}));

    const auto& effects = top.children[2];
    ASSERT_TRUE(effects.IsPopup());
    const char16_t* const names[] = {
        u"Aged Photo", u"Canvas",       u"Emboss",   u"Neon Light", u"Invert",    u"Motion",
        u"Spread",     u"Shear",        u"Monitor",  u"Ellipse",    u"Alien Map", u"Glass Title",
        u"Wind",       u"Magic Mirror", u"Mosaic",   u"TV Effect",  u"Post Card", u"Flower",
        u"Jungle",     u"Television",   u"Magazine", u"FBI Wanted", u"Aim",       u"Paper",
        u"Merry Xms",  u"Magnifier"};
    ASSERT_EQ(effects.children.size(), 29u);
    EXPECT_EQ(effects.children[0].text, u"No Effect");
    EXPECT_EQ(effects.children[0].id, UINT{ID_NO_EFFECT});
    EXPECT_TRUE(effects.children[1].IsSeparator());
    EXPECT_TRUE(effects.children[18].IsSeparator());
    for (int effect = 1; effect <= 26; ++effect) {
        const auto& item = effects.children[effect <= 16 ? effect + 1 : effect + 2];
        EXPECT_EQ(item.id, static_cast<UINT>(32776 + effect));
        EXPECT_EQ(item.text, names[effect - 1]);
    }

    const auto& face = top.children[8];
    ASSERT_EQ(face.children.size(), 1u);
    EXPECT_EQ(face.children[0].text, u"Enable");
    EXPECT_EQ(face.children[0].id, UINT{ID_FACE_TRACKING});

    for (const WORD lang : {kZhCn, kZhTw}) {
        const auto other = file->Menu(IDR_LONG_MENU, lang);
        ASSERT_TRUE(other.has_value());
        EXPECT_EQ(Shape(other->items), Shape(english->items)) << lang;
    }
    EXPECT_EQ(file->Menu(IDR_LONG_MENU, kZhCn)->items[0].children[2].children[27].text, u"圣诞节");
    EXPECT_EQ(file->Menu(IDR_LONG_MENU, kZhTw)->items[0].children[2].children[27].text,
              u"聖誕快樂");
}

TEST_F(LumisetResTest, StringTableInEveryLanguage) {
    EXPECT_EQ(file->String(IDS_MENU, kEnUs), u"Menu");
    EXPECT_EQ(file->String(IDS_MENU, kZhCn), u"菜单");
    EXPECT_EQ(file->String(IDS_MENU, kZhTw), u"選單");
    EXPECT_EQ(file->String(IDS_PROPERTIES, kEnUs), u"Properties");
    EXPECT_EQ(file->String(IDS_PROPERTIES, kZhCn), u"属性");
    EXPECT_EQ(file->String(IDS_PROPERTIES, kZhTw), u"內容");
    // The host asks for the About text, which the table leaves out on purpose.
    EXPECT_FALSE(file->String(IDS_ABOUTBOX, kZhCn).has_value());
    EXPECT_FALSE(file->String(0, kEnUs).has_value());
    EXPECT_FALSE(file->String(5, kEnUs).has_value());
    // The settings window's tabs.
    EXPECT_EQ(file->String(IDS_TAB_IMAGE_CONTROL, kEnUs), u"Image Control");
    EXPECT_EQ(file->String(IDS_TAB_IMAGE_CONTROL, kZhCn), u"图像控制");
    EXPECT_EQ(file->String(IDS_TAB_IMAGE_CONTROL, kZhTw), u"影像控制");
    EXPECT_EQ(file->String(IDS_TAB_EFFECT, kEnUs), u"Effect");
    EXPECT_EQ(file->String(IDS_TAB_EFFECT, kZhTw), u"特效");
}

TEST_F(LumisetResTest, IconsAndMenuMark) {
    // The tray icon and the arrows hold an image for every display scale from 100 % to 300 %,
    // each chosen for exactly its size: a 16 x 16 request must not get a larger image shrunk.
    const std::vector<int> sizes = {16, 20, 24, 32, 40, 48};
    auto image_sizes = [&](WORD id, WORD lang) {
        const auto group =
            file->Find(ResourceName::Id(sim::res::kTypeGroupIcon), ResourceName::Id(id), lang);
        std::vector<int> found;
        if (const auto directory = group ? sim::res::ParseIconDirectory(*group) : std::nullopt) {
            for (const auto& entry : *directory) {
                found.push_back(entry.width == entry.height ? entry.width : -1);
            }
        }
        return found;
    };
    EXPECT_EQ(image_sizes(IDI_TRAY, kZhTw), sizes);
    EXPECT_EQ(image_sizes(IDI_TRAY_OFF, kZhTw), sizes);
    for (const int size : sizes) {
        const auto tray = file->Icon(IDI_TRAY, size, size, kEnUs);
        ASSERT_TRUE(tray.has_value()) << size;
        EXPECT_EQ((std::vector<int>{tray->width, tray->height, tray->bit_count}),
                  (std::vector<int>{size, size, 24}));
        // The crossed-out camera keeps its larger images as PNG (RGBA), which saves their bytes.
        const auto off = file->Icon(IDI_TRAY_OFF, size, size, kEnUs);
        ASSERT_TRUE(off.has_value()) << size;
        EXPECT_EQ((std::vector<int>{off->width, off->height, off->bit_count}),
                  (std::vector<int>{size, size, size >= 32 ? 32 : 24}));
    }

    for (const WORD arrow : {IDI_ARROW_UP, IDI_ARROW_DOWN, IDI_ARROW_LEFT, IDI_ARROW_RIGHT}) {
        EXPECT_EQ(image_sizes(arrow, kZhCn), sizes) << arrow;
        for (const int size : sizes) {
            const auto icon = file->Icon(arrow, size, size, kZhCn);
            ASSERT_TRUE(icon.has_value()) << arrow;
            EXPECT_EQ((std::vector<int>{icon->width, icon->height, icon->bit_count}),
                      (std::vector<int>{size, size, 4}))
                << arrow;
        }
    }
    for (const auto& [id, size] :
         {std::pair{IDI_LENS, 48}, std::pair{IDI_POWER, 48}, std::pair{IDI_WEBCAM_SMALL, 32}}) {
        const auto icon = file->Icon(static_cast<WORD>(id), 0, 0, kZhTw);
        ASSERT_TRUE(icon.has_value()) << id;
        EXPECT_EQ((std::vector<int>{icon->width, icon->height, icon->bit_count}),
                  (std::vector<int>{size, size, 24}))
            << id;
    }
    EXPECT_FALSE(file->Icon(IDI_ABOUT, 32, 32, kZhCn).has_value());

    const auto mark = file->Bitmap(IDB_MENU_MARK, kEnUs);
    ASSERT_TRUE(mark.has_value());
    EXPECT_EQ((std::vector<int>{mark->width, mark->height, mark->bit_count}),
              (std::vector<int>{16, 13, 8}));
}

TEST_F(LumisetResTest, ManifestAndVersion) {
    const auto manifest =
        file->Find(ResourceName::Id(sim::res::kTypeManifest), ResourceName::Id(1), kEnUs);
    ASSERT_TRUE(manifest.has_value());
    const std::string text(manifest->begin(), manifest->end());
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
    // The logon task gives the rights; a start by hand never asks for more.
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(text.find("version=\"" LUMISET_PROJECT_VERSION "\""), std::string::npos);

    const auto version =
        file->Find(ResourceName::Id(sim::res::kTypeVersion), ResourceName::Id(1), kEnUs);
    ASSERT_TRUE(version.has_value());
    // VS_FIXEDFILEINFO follows the "VS_VERSION_INFO" key; its signature is 0xFEEF04BD. The file
    // and product versions after it are the project's, which lumiset.msi carries too.
    const std::vector<BYTE> signature = {0xBD, 0x04, 0xEF, 0xFE};
    const auto fixed =
        std::search(version->begin(), version->end(), signature.begin(), signature.end());
    ASSERT_GE(version->end() - fixed, 24);
    const auto dword = [&](int index) {
        DWORD value = 0;
        std::memcpy(&value, &*(fixed + 4 * index), sizeof value);
        return value;
    };
    const DWORD most = (LUMISET_PROJECT_VERSION_MAJOR << 16) | LUMISET_PROJECT_VERSION_MINOR;
    const DWORD least = (LUMISET_PROJECT_VERSION_PATCH << 16) | LUMISET_PROJECT_VERSION_TWEAK;
    EXPECT_EQ((std::vector<DWORD>{dword(2), dword(3), dword(4), dword(5)}),
              (std::vector<DWORD>{most, least, most, least}));
}

TEST_F(LumisetResTest, ImageControlPage) {
    const DialogTemplate page = Dialog(IDD_IMAGE_CONTROL, kZhCn);
    EXPECT_EQ(page.style, kWsChild | kDsSetFont);
    EXPECT_TRUE(page.title.empty());
    EXPECT_EQ((std::vector<int>{page.cx, page.cy}), (std::vector<int>{265, 354}));
    EXPECT_EQ(page.typeface, u"MS Sans Serif");
    EXPECT_EQ(page.point_size, 8);

    for (DWORD id = IDC_BRIGHTNESS_SLIDER; id <= IDC_BLUE_SLIDER; ++id) {
        const auto* slider = ItemById(page, id);
        ASSERT_NE(slider, nullptr) << id;
        EXPECT_TRUE(slider->IsClass(u"msctls_trackbar32")) << id;
        EXPECT_EQ(slider->style & (kTbsNoTicks | kTbsVert), kTbsNoTicks) << id;
    }
    for (DWORD id = IDC_BRIGHTNESS_VALUE; id <= IDC_BLUE_VALUE; ++id) {
        const auto* box = ItemById(page, id);
        ASSERT_NE(box, nullptr) << id;
        EXPECT_TRUE(box->IsClass(u"Edit")) << id;
        const DWORD wanted = kEsReadOnly | kEsAutoHScroll | kEsRight | kWsBorder;
        EXPECT_EQ(box->style & wanted, wanted) << id;
    }
    for (const DWORD id : {IDC_OUTDOOR, IDC_INDOOR, IDC_FLICKER_50HZ, IDC_FLICKER_60HZ}) {
        const auto* radio = ItemById(page, id);
        ASSERT_NE(radio, nullptr) << id;
        EXPECT_EQ(radio->style & kBsTypeMask, kBsAutoRadioButton) << id;
        EXPECT_TRUE(radio->style & kWsGroup) << id;
    }
    for (const DWORD id : {IDC_MIRROR, IDC_FLIP, IDC_LOW_LIGHT, IDC_BACKLIGHT_COMP, IDC_BW_MODE,
                           IDC_BANDWIDTH_AUTO, IDC_EXPOSURE_AUTO, IDC_WHITE_BALANCE_AUTO}) {
        const auto* box = ItemById(page, id);
        ASSERT_NE(box, nullptr) << id;
        EXPECT_EQ(box->style & kBsTypeMask, kBsAutoCheckBox) << id;
    }
    EXPECT_EQ(ItemById(page, IDC_EXPOSURE_AUTO)->text, u"Check4");
    EXPECT_EQ(ItemById(page, IDC_EXPOSURE_AUTO)->cx, 10);
    // The trackbar ids do not follow the rows: Contrast sits above Gamma.
    EXPECT_LT(ItemById(page, IDC_CONTRAST_SLIDER)->y, ItemById(page, IDC_GAMMA_SLIDER)->y);
    EXPECT_LT(ItemById(page, IDC_SATURATION_SLIDER)->y, ItemById(page, IDC_SHARPNESS_SLIDER)->y);
    for (const DWORD id : {IDC_RESET_DEFAULTS, IDC_SAVE_DEFAULTS, IDC_RESTORE_DEFAULTS}) {
        ASSERT_NE(ItemById(page, id), nullptr) << id;
    }
}

TEST_F(LumisetResTest, EffectPageGroupsItsRadioButtonsAtTelevision) {
    const DialogTemplate page = Dialog(IDD_EFFECT, kZhCn);
    EXPECT_EQ(page.style, kWsChild | kDs3dLook | kDsSetFont);
    EXPECT_EQ((std::vector<int>{page.cx, page.cy}), (std::vector<int>{265, 354}));

    int radios = 0;
    for (const auto& item : page.items) {
        if (item.style & kWsGroup) {
            EXPECT_EQ(item.id, DWORD{IDC_FRAME_TELEVISION}) << "only Television starts a group";
        }
        if (item.IsClass(u"Button") && (item.style & kBsTypeMask) == kBsAutoRadioButton) {
            ++radios;
            EXPECT_FALSE(item.style & kWsTabStop) << item.id;
        }
    }
    EXPECT_EQ(radios, 29);  // 26 effects and frames, Frame File, Auto Change, No effect
    EXPECT_EQ(ItemById(page, IDC_NO_EFFECT)->text, u"No effect&&frame");
    EXPECT_EQ(ItemById(page, IDC_FRAME_MAGNIFIER)->text, u"Magnifie");
    EXPECT_EQ(ItemById(page, 1105), nullptr);
    EXPECT_TRUE(ItemById(page, IDC_FRAME_PATH)->IsClass(u"Edit"));
    EXPECT_EQ(ItemById(page, IDC_BROWSE_FRAME)->text, u"...");
    EXPECT_EQ(ItemById(page, IDC_LOAD_FILE)->text, u"LoadFile");
}

TEST_F(LumisetResTest, ZoomDialogKeepsItsLayoutInEveryLanguage) {
    const DialogTemplate english = Dialog(IDD_ZOOM, kEnUs);
    EXPECT_EQ(english.style, kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont);
    EXPECT_EQ((std::vector<int>{english.cx, english.cy}), (std::vector<int>{144, 85}));
    EXPECT_EQ(english.typeface, u"MS Sans Serif");

    for (const DWORD id : {IDC_PAN_UP, IDC_PAN_DOWN, IDC_PAN_LEFT, IDC_PAN_RIGHT}) {
        const auto* button = ItemById(english, id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->style & (kBsIcon | kWsDisabled | kBsTypeMask), kBsIcon | kWsDisabled);
    }
    // A cross: top and bottom share a column, left and right a row around them.
    const auto* up = ItemById(english, IDC_PAN_UP);
    const auto* down = ItemById(english, IDC_PAN_DOWN);
    const auto* left = ItemById(english, IDC_PAN_LEFT);
    const auto* right = ItemById(english, IDC_PAN_RIGHT);
    EXPECT_EQ(up->x, down->x);
    EXPECT_EQ(left->y, right->y);
    EXPECT_LT(left->x, up->x);
    EXPECT_GT(right->x, up->x);
    EXPECT_LT(up->y, left->y);
    EXPECT_GT(down->y, left->y);
    const auto* slider = ItemById(english, IDC_ZOOM_SLIDER);
    ASSERT_NE(slider, nullptr);
    const DWORD slider_bits = kTbsVert | kTbsBoth | kTbsNoTicks | kWsDisabled;
    EXPECT_EQ(slider->style & slider_bits, slider_bits);
    EXPECT_GT(slider->x, right->x);
    const auto* enable = ItemById(english, IDC_ZOOM_ENABLE);
    ASSERT_NE(enable, nullptr);
    EXPECT_EQ(enable->style & kBsTypeMask, kBsAutoCheckBox);

    struct Texts {
        WORD lang;
        std::u16string title, group, enable, zoom_in, zoom_out;
    };
    const Texts languages[] = {
        {kEnUs, u" Zoom", u"Zoom Control", u"Enable Zoom", u"Zoom In", u"Zoom Out"},
        {kZhCn, u" 缩放", u"缩放", u"启动缩放功能", u"放", u"缩"},
        {kZhTw, u" 縮放", u"縮放", u"啟動縮放功能", u"放", u"縮"},
    };
    for (const auto& want : languages) {
        const DialogTemplate dialog = Dialog(IDD_ZOOM, want.lang);
        EXPECT_EQ(dialog.title, want.title);
        std::vector<std::u16string> statics;
        ASSERT_EQ(dialog.items.size(), english.items.size());
        for (std::size_t i = 0; i < dialog.items.size(); ++i) {
            const auto& item = dialog.items[i];
            const auto& same = english.items[i];
            EXPECT_EQ((std::vector<long>{item.id, item.style, item.x, item.y, item.cx, item.cy}),
                      (std::vector<long>{same.id, same.style, same.x, same.y, same.cx, same.cy}));
            if (item.id == 0xFFFF) {
                statics.push_back(item.text);
            }
        }
        EXPECT_EQ(statics, (std::vector<std::u16string>{want.group, want.zoom_in, want.zoom_out}));
        EXPECT_EQ(ItemById(dialog, IDC_ZOOM_ENABLE)->text, want.enable);
    }
}

}  // namespace
