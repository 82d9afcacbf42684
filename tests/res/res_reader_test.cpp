// The resource-file reader on hand-made and damaged input: the formats windres does not write
// for Lumiset (MENUEX, classic templates with menus, PNG icons), the language rules, and bytes
// that must be refused without reading outside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/sim/res/res_file.h"
#include "platform/sim/res/string_table.h"
#include "res/resource_bytes.h"
#include "tests/res/res_builder.h"

namespace {

using res_test::Bytes;
using res_test::ResBuilder;
using sim::res::ResFile;
using sim::res::ResourceName;

std::vector<BYTE> Text(const std::u16string& text) {
    return Bytes().Text(text).data;
}

std::vector<BYTE> RealFile() {
    const auto bytes = LumisetResourceBytes();
    return {bytes.begin(), bytes.end()};
}

TEST(ResReaderTest, RefusesDamagedFiles) {
    EXPECT_FALSE(ResFile::Parse({}).has_value());

    const std::vector<BYTE> good = ResBuilder().Add(6, 1, 1033, Text(u"x")).file;
    ASSERT_TRUE(ResFile::Parse(good).has_value());

    auto with = [&](std::size_t at, DWORD value) {
        std::vector<BYTE> bytes = good;
        Bytes patch;
        patch.Dword(value);
        std::copy(patch.data.begin(), patch.data.end(), bytes.begin() + at);
        return bytes;
    };
    constexpr std::size_t kSecond = 32;  // the record after the opening one
    EXPECT_FALSE(ResFile::Parse(with(kSecond, 0x1000)).has_value()) << "data past the end";
    EXPECT_FALSE(ResFile::Parse(with(kSecond, 0xFFFFFFFF)).has_value()) << "data size overflow";
    EXPECT_FALSE(ResFile::Parse(with(kSecond + 4, 0xFFFFFFF0)).has_value()) << "header overflow";
    EXPECT_FALSE(ResFile::Parse(with(kSecond + 4, 30)).has_value()) << "unaligned header";
    EXPECT_FALSE(ResFile::Parse(with(kSecond + 4, 24)).has_value()) << "header too short";
    EXPECT_FALSE(ResFile::Parse(with(0, 4)).has_value()) << "opening record with data";
    EXPECT_FALSE(ResFile::Parse(std::vector<BYTE>(good.begin() + 32, good.end())).has_value())
        << "no opening record";

    // A string type name that runs to the end of its header.
    std::vector<BYTE> unterminated = good;
    for (std::size_t i = kSecond + 8; i < kSecond + 32; ++i) {
        unterminated[i] = 'A';
    }
    EXPECT_FALSE(ResFile::Parse(unterminated).has_value());
}

TEST(ResReaderTest, OnlyCutsBetweenRecordsLeaveAReadableFile) {
    const std::vector<BYTE> file = RealFile();
    const auto whole = ResFile::Parse(file);
    ASSERT_TRUE(whole.has_value());
    // Where the data of the first k records ends; a cut from there to the padding's end keeps
    // exactly k records.
    std::vector<std::size_t> data_ends = {32};
    for (const auto& entry : whole->entries()) {
        data_ends.push_back(entry.data_offset + entry.data_size);
    }
    std::vector<bool> seen(data_ends.size(), false);
    for (std::size_t size = 0; size < file.size(); ++size) {
        const auto prefix = ResFile::Parse(std::span(file).first(size));
        if (!prefix) {
            continue;
        }
        const std::size_t kept = prefix->entries().size();
        ASSERT_LT(kept, data_ends.size());
        EXPECT_GE(size, data_ends[kept]);
        EXPECT_LE(size, (data_ends[kept] + 3) / 4 * 4);
        seen[kept] = true;
    }
    seen.back() = true;  // the whole file is not a cut
    EXPECT_EQ(std::count(seen.begin(), seen.end(), false), 0);
}

TEST(ResReaderTest, EveryTruncationOfARealTemplateIsRefused) {
    const auto file = ResFile::Parse(RealFile());
    ASSERT_TRUE(file.has_value());
    int templates = 0;
    for (const auto& entry : file->entries()) {
        const WORD type = entry.type.ordinal;
        if (type != sim::res::kTypeDialog && type != sim::res::kTypeMenu) {
            continue;
        }
        ++templates;
        const auto data = file->Data(entry);
        auto parses = [&](std::span<const BYTE> bytes) {
            return type == sim::res::kTypeDialog ? sim::res::ParseDialogTemplate(bytes).has_value()
                                                 : sim::res::ParseMenuTemplate(bytes).has_value();
        };
        ASSERT_TRUE(parses(data)) << entry.name.ToString();
        for (std::size_t size = 0; size < data.size(); ++size) {
            EXPECT_FALSE(parses(data.first(size))) << entry.name.ToString() << " cut at " << size;
        }
    }
    EXPECT_EQ(templates, 16);
}

TEST(ResReaderTest, DamagedImagesAndDirectoriesAreRefused) {
    const auto file = ResFile::Parse(RealFile());
    ASSERT_TRUE(file.has_value());
    const auto mark = file->Bitmap(138, 2052);
    const auto icon = file->Icon(160, 48, 48, 1028);
    ASSERT_TRUE(mark && icon);
    EXPECT_FALSE(sim::res::ParseBitmap(std::span(mark->dib).first(mark->dib.size() - 1)));
    EXPECT_FALSE(sim::res::ParseIconImage(std::span(icon->data).first(icon->data.size() - 1)));
    EXPECT_FALSE(sim::res::ParseBitmap(std::span(mark->dib).first(20)));

    std::vector<BYTE> huge = mark->dib;
    huge[4] = 0xFF;  // width 255 with the same pixels
    EXPECT_FALSE(sim::res::ParseBitmap(huge));
    std::vector<BYTE> odd_depth = mark->dib;
    odd_depth[14] = 7;
    EXPECT_FALSE(sim::res::ParseBitmap(odd_depth));

    EXPECT_FALSE(sim::res::ParseIconDirectory(Bytes().Word(0).Word(1).Word(2).data))
        << "two entries promised, none there";
    EXPECT_FALSE(sim::res::ParseIconDirectory(Bytes().Word(0).Word(2).Word(0).data))
        << "a cursor directory";
}

TEST(ResReaderTest, LanguageChoice) {
    const std::vector<BYTE> english = Text(u"en"), simplified = Text(u"zh-CN"),
                            chinese = Text(u"zh"), neutral = Text(u"neutral");
    const auto file = ResFile::Parse(ResBuilder()
                                         .Add(10, 1, 2052, simplified)
                                         .Add(10, 1, 1033, english)
                                         .Add(10, 2, 2052, simplified)
                                         .Add(10, 2, 0x0004, chinese)
                                         .Add(10, 2, 0, neutral)
                                         .Add(10, 3, 2052, simplified)
                                         .Add(10, 3, 1028, chinese)
                                         .Add(10, 4, 0, neutral)
                                         .Add(10, 4, 1033, english)
                                         .file);
    ASSERT_TRUE(file.has_value());
    auto find = [&](WORD name, WORD lang) {
        const auto data = file->Find(ResourceName::Id(10), ResourceName::Id(name), lang);
        return data ? std::vector<BYTE>(data->begin(), data->end()) : std::vector<BYTE>{};
    };
    EXPECT_EQ(find(1, 2052), simplified);
    EXPECT_EQ(find(1, 1028), english) << "no Chinese that fits: English";
    EXPECT_EQ(find(2, 1028), chinese) << "the neutral sublanguage of Chinese";
    EXPECT_EQ(find(2, 1033), neutral);
    EXPECT_EQ(find(3, 1041), simplified) << "nothing fits: the first in the file";
    EXPECT_EQ(find(4, 1028), neutral) << "neutral before English";
    EXPECT_TRUE(find(5, 1033).empty());
    EXPECT_EQ(file->Languages(ResourceName::Id(10), ResourceName::Id(2)),
              (std::vector<WORD>{2052, 0x0004, 0}));
}

TEST(ResReaderTest, StringNamesIgnoreCase) {
    const auto file = ResFile::Parse(
        ResBuilder()
            .Add(ResourceName::Named(u"LUMISET"), ResourceName::Named(u"DATA"), 1033, Text(u"x"))
            .file);
    ASSERT_TRUE(file.has_value());
    EXPECT_TRUE(file->Find(ResourceName::Named(u"Lumiset"), ResourceName::Named(u"data"), 1033));
    EXPECT_FALSE(file->Find(ResourceName::Named(u"Lumiset"), ResourceName::Id(1), 1033));
    EXPECT_EQ(file->entries()[0].type.name, u"LUMISET");
}

TEST(ResReaderTest, StringTableBlocks) {
    Bytes block;  // block 2: strings 16 to 31
    block.Word(0).Word(3).Word('a').Word('b').Word('c');
    for (int i = 2; i < 16; ++i) {
        block.Word(0);
    }
    const auto file =
        ResFile::Parse(ResBuilder().Add(sim::res::kTypeString, 2, 1033, block.data).file);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->String(17, 1033), u"abc");
    EXPECT_FALSE(file->String(16, 1033)) << "an empty entry";
    EXPECT_FALSE(file->String(18, 1033));
    EXPECT_FALSE(file->String(1, 1033)) << "a missing block";

    const std::vector<BYTE> cut = Bytes().Word(0).Word(5).Word('a').data;
    EXPECT_FALSE(sim::res::StringFromBlock(cut, 1));
}

TEST(ResReaderTest, ClassicTemplateWithMenuClassAndCreationData) {
    Bytes dialog;
    dialog.Dword(0x80000000).Dword(0x8).Word(2);  // WS_POPUP without DS_SETFONT, two items
    dialog.Word(1).Word(2).Word(30).Word(40);
    dialog.Word(0xFFFF).Word(7);  // menu 7
    dialog.Text(u"MyClass").Text(u"Title");
    dialog.AlignDword().Dword(0x50000000).Dword(0x200).Word(5).Word(6).Word(7).Word(8).Word(100);
    dialog.Word(0xFFFF).Word(0x0081).Text(u"text").Word(3).Byte(1).Byte(2).Byte(3);
    dialog.AlignDword().Dword(0x50000000).Dword(0).Word(0).Word(0).Word(1).Word(1).Word(101);
    dialog.Word(0xFFFF).Word(0x0099).Word(0xFFFF).Word(42).Word(0);

    const auto parsed = sim::res::ParseDialogTemplate(dialog.data);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_FALSE(parsed->extended);
    EXPECT_EQ(parsed->ex_style, 0x8u);
    EXPECT_EQ(parsed->menu, u"#7");
    EXPECT_EQ(parsed->class_name, u"MyClass");
    EXPECT_EQ(parsed->title, u"Title");
    EXPECT_TRUE(parsed->typeface.empty());
    ASSERT_EQ(parsed->items.size(), 2u);
    EXPECT_EQ(parsed->items[0].class_name, u"Edit");
    EXPECT_EQ(parsed->items[0].ex_style, 0x200u);
    EXPECT_EQ(parsed->items[0].id, 100u);
    EXPECT_EQ(parsed->items[0].creation_data, (std::vector<BYTE>{1, 2, 3}));
    EXPECT_EQ(parsed->items[1].class_name, u"#153");
    EXPECT_TRUE(parsed->items[1].text_is_ordinal);
    EXPECT_EQ(parsed->items[1].text_ordinal, 42);

    // More items promised than there are bytes for.
    std::vector<BYTE> greedy = dialog.data;
    greedy[8] = 0xFF;
    greedy[9] = 0xFF;
    EXPECT_FALSE(sim::res::ParseDialogTemplate(greedy));
    // An extended template of an unknown version.
    EXPECT_FALSE(sim::res::ParseDialogTemplate(Bytes().Word(2).Word(0xFFFF).Dword(0).data));
}

TEST(ResReaderTest, ExtendedMenu) {
    Bytes menu;
    menu.Word(1).Word(4).Dword(0);  // version 1, items after the help id
    // A popup with a checked item and a grayed, radio-check item, then a separator.
    menu.Dword(0).Dword(0).Dword(500).Word(0x01).Text(u"File").AlignDword().Dword(0);
    menu.Dword(0x200).Dword(0x8).Dword(501).Word(0).Text(u"One").AlignDword();
    menu.Dword(0).Dword(0x3).Dword(502).Word(0x80).Text(u"Two").AlignDword();
    menu.Dword(0x800).Dword(0).Dword(0).Word(0x80).Text(u"").AlignDword();

    const auto parsed = sim::res::ParseMenuTemplate(menu.data);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->items.size(), 2u);
    const auto& file = parsed->items[0];
    EXPECT_TRUE(file.IsPopup());
    EXPECT_EQ(file.id, 500u);
    ASSERT_EQ(file.children.size(), 2u);
    EXPECT_EQ(file.children[0].flags, 0x208u);
    EXPECT_EQ(file.children[1].flags, 0x3u);
    EXPECT_EQ(file.children[1].text, u"Two");
    EXPECT_TRUE(parsed->items[1].IsSeparator());

    for (std::size_t size = 0; size < menu.data.size(); ++size) {
        EXPECT_FALSE(sim::res::ParseMenuTemplate(std::span(menu.data).first(size))) << size;
    }
}

TEST(ResReaderTest, DeepOrEndlessMenusAreRefused) {
    Bytes deep;
    deep.Word(0).Word(0);
    for (int i = 0; i < 40; ++i) {
        deep.Word(0x10).Text(u"p");  // a popup inside the one before
    }
    deep.Word(0x80).Word(1).Text(u"x");
    for (int i = 0; i < 40; ++i) {
        deep.Word(0x90).Text(u"q");
    }
    EXPECT_FALSE(sim::res::ParseMenuTemplate(deep.data));

    Bytes endless;  // items without an end marker
    endless.Word(0).Word(0).Word(0).Word(1).Text(u"a").Word(0).Word(2).Text(u"b");
    EXPECT_FALSE(sim::res::ParseMenuTemplate(endless.data));
}

TEST(ResReaderTest, IconChoice) {
    const std::vector<sim::res::IconDirectoryEntry> entries = {
        {16, 16, 4, 1}, {32, 32, 4, 2}, {32, 32, 8, 3}, {48, 48, 24, 4}};
    auto choose = [&](int cx, int cy) { return sim::res::ChooseIcon(entries, cx, cy)->icon_id; };
    EXPECT_EQ(choose(16, 16), 1);
    EXPECT_EQ(choose(32, 32), 3) << "the deeper colour of two equal sizes";
    EXPECT_EQ(choose(0, 0), 3) << "the system icon size";
    EXPECT_EQ(choose(20, 20), 1);
    EXPECT_EQ(choose(64, 64), 4);
    EXPECT_FALSE(sim::res::ChooseIcon({}, 16, 16));

    Bytes png;  // signature and IHDR of a 24 x 20 RGBA picture
    png.Byte(0x89).Byte('P').Byte('N').Byte('G').Byte(0x0D).Byte(0x0A).Byte(0x1A).Byte(0x0A);
    png.Byte(0).Byte(0).Byte(0).Byte(13).Byte('I').Byte('H').Byte('D').Byte('R');
    png.Byte(0).Byte(0).Byte(0).Byte(24).Byte(0).Byte(0).Byte(0).Byte(20).Byte(8).Byte(6);
    const auto image = sim::res::ParseIconImage(png.data);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ((std::vector<int>{image->width, image->height, image->bit_count}),
              (std::vector<int>{24, 20, 32}));
    EXPECT_FALSE(sim::res::ParseIconImage(std::span(png.data).first(20)));
}

}  // namespace
