// Messages that other programs make up, against the framework's dialogs on the simulated machine:
// what carries a pointer is taken from the window's own thread only, initialisation happens once,
// destruction only when the window is destroyed, and posts of messages that only the system sends
// never reach a window, whichever loop takes them.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/controls.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/file_dialog.h"
#include "framework/message_map.h"
#include "framework/message_origin.h"
#include "framework/win_app.h"
#include "platform/sim/desktop.h"
#include "res/resource.h"
#include "res/resource_bytes.h"

namespace {

// Not declared by every build's headers.
constexpr UINT kMeasureItem = 0x002C;  // WM_MEASUREITEM
constexpr UINT kDeleteItem = 0x002D;   // WM_DELETEITEM

// Commands the test posts to make the dialog act on its own thread.
constexpr UINT kSendOwnMessages = 0x9000;
constexpr UINT kOpenFileDialog = 0x9001;

// A dialog that counts what reaches its handlers.
class ProbeDialog : public CDialog {
public:
    explicit ProbeDialog(UINT nIDTemplate = IDD_SETTINGS) : CDialog(nIDTemplate) {}

    int inits = 0;
    int destroys = 0;
    int positions = 0;  // position changes with their record
    std::vector<UINT> pointerMessages;
    bool modeless = false;
    // Another object that a forged WM_INITDIALOG names.
    CDialog* stranger = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        if (m_nIDTemplate == IDD_SETTINGS) {
            DDX_Control(pDX, IDC_SETTINGS_TAB, m_tab);
        }
    }

    BOOL OnInitDialog() override {
        ++inits;
        CDialog::OnInitDialog();
        if (m_tab.GetSafeHwnd() != nullptr) {
            m_tab.InsertItem(0, "One");
            m_tab.InsertItem(1, "Two");
        }
        return TRUE;
    }

    void OnClose() {
        if (modeless) {
            DestroyWindow();
        } else {
            EndDialog(IDCANCEL);
        }
    }

    LRESULT OnDestroy(WPARAM, LPARAM) {
        ++destroys;
        return Default();
    }

    void OnWindowPosChanging(WINDOWPOS*) { ++positions; }
    void OnTabSelChange(NMHDR*, LRESULT*) { pointerMessages.push_back(WM_NOTIFY); }
    void OnDrawItem(int, DRAWITEMSTRUCT*) { pointerMessages.push_back(WM_DRAWITEM); }
    LRESULT OnMeasureItem(WPARAM, LPARAM) { return Took(kMeasureItem); }
    LRESULT OnCompareItem(WPARAM, LPARAM) { return Took(WM_COMPAREITEM); }
    LRESULT OnDeleteItem(WPARAM, LPARAM) { return Took(kDeleteItem); }

    // Every message of the families, with a record of its own, sent on the dialog's own thread.
    void SendOwnMessages() {
        NMHDR header{m_tab.GetSafeHwnd(), IDC_SETTINGS_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        DRAWITEMSTRUCT draw{};
        unsigned char record[64] = {};
        const auto local = reinterpret_cast<LPARAM>(record);
        SendMessage(WM_NOTIFY, IDC_SETTINGS_TAB, reinterpret_cast<LPARAM>(&header));
        SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        SendMessage(kMeasureItem, 0, local);
        SendMessage(WM_COMPAREITEM, 0, local);
        SendMessage(kDeleteItem, 0, local);
        SendMessage(WM_WINDOWPOSCHANGING, 0, 0);
        SendMessage(WM_WINDOWPOSCHANGED, 0, 0);
        SendMessage(WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(stranger));
    }

    void OpenFileDialog() {
        CFileDialog open(TRUE);
        open.DoModal();
    }

private:
    LRESULT Took(UINT message) {
        pointerMessages.push_back(message);
        return 0;
    }

    CTabCtrl m_tab;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
    ON_WM_CLOSE()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_DRAWITEM()
    ON_MESSAGE(WM_DESTROY, &ProbeDialog::OnDestroy)
    ON_MESSAGE(kMeasureItem, &ProbeDialog::OnMeasureItem)
    ON_MESSAGE(WM_COMPAREITEM, &ProbeDialog::OnCompareItem)
    ON_MESSAGE(kDeleteItem, &ProbeDialog::OnDeleteItem)
    ON_NOTIFY(TCN_SELCHANGE, IDC_SETTINGS_TAB, &ProbeDialog::OnTabSelChange)
    ON_COMMAND(kSendOwnMessages, &ProbeDialog::SendOwnMessages)
    ON_COMMAND(kOpenFileDialog, &ProbeDialog::OpenFileDialog)
END_MESSAGE_MAP()

class ProbeApp : public CWinApp {
public:
    explicit ProbeApp(std::function<void()> body) : m_body(std::move(body)) {}
    BOOL InitInstance() override {
        m_body();
        return FALSE;
    }

private:
    std::function<void()> m_body;
};

// A program whose application runs a modal dialog beside a modeless one with a page in it, the
// way Lumiset's host runs beside its settings window.
class ForeignMessagesTest : public ::testing::Test {
protected:
    ForeignMessagesTest() {
        EXPECT_TRUE(machine.program().LoadResources(LumisetResourceBytes()));
        modal.stranger = &stranger;
        modeless.modeless = true;
        process = desktop.Start([this] {
            ProbeApp app([this] {
                modeless.Create(IDD_SETTINGS);
                page.Create(IDD_EFFECT, &modeless);
                modeless.ShowWindow(SW_SHOW);
                modal.DoModal();
                modeless.DestroyWindow();
            });
            AfxWinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWDEFAULT);
        });
    }

    void TearDown() override {
        if (modal.GetSafeHwnd() != nullptr) {
            desktop.Post(modal.GetSafeHwnd(), WM_CLOSE, 0, 0);
            desktop.Settle();
        }
        EXPECT_FALSE(desktop.Running(process)) << "the modal loop ends on WM_CLOSE";
    }

    HWND Modal() const { return modal.GetSafeHwnd(); }
    HWND Tab() const { return GetDlgItem(Modal(), IDC_SETTINGS_TAB); }

    // The families, each with a record in this (another) program's memory.
    void SendPointerMessages(HWND to, bool post) {
        NMHDR header{Tab(), IDC_SETTINGS_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        DRAWITEMSTRUCT draw{};
        unsigned char record[64] = {};
        const auto local = reinterpret_cast<LPARAM>(record);
        const std::vector<std::pair<UINT, LPARAM>> messages = {
            {WM_NOTIFY, reinterpret_cast<LPARAM>(&header)},
            {WM_DRAWITEM, reinterpret_cast<LPARAM>(&draw)},
            {kMeasureItem, local},
            {WM_COMPAREITEM, local},
            {kDeleteItem, local},
        };
        for (const auto& [message, lParam] : messages) {
            if (post) {
                desktop.Post(to, message, IDC_SETTINGS_TAB, lParam);
            } else {
                desktop.Send(to, message, IDC_SETTINGS_TAB, lParam);
            }
        }
        desktop.Settle();
    }

    sim::Machine machine;
    sim::Desktop desktop{machine};
    sim::ProcessId process = 0;
    ProbeDialog modal;
    ProbeDialog modeless;
    ProbeDialog page{IDD_EFFECT};
    ProbeDialog stranger;
};

TEST_F(ForeignMessagesTest, PointerMessagesOnlyFromTheWindowsOwnThread) {
    ASSERT_NE(Modal(), nullptr);
    ASSERT_TRUE(desktop.SelectTab(Tab(), 1));
    EXPECT_EQ(modal.pointerMessages, std::vector<UINT>{WM_NOTIFY}) << "the tab control's own";
    desktop.Post(Modal(), WM_COMMAND, kSendOwnMessages, 0);
    desktop.Settle();
    EXPECT_EQ(modal.pointerMessages, (std::vector<UINT>{WM_NOTIFY, WM_NOTIFY, WM_DRAWITEM,
                                                        kMeasureItem, WM_COMPAREITEM, kDeleteItem}))
        << "sent on the dialog's own thread; position messages without a record are dropped";
    modal.pointerMessages.clear();

    // Another program's records, sent and posted, reach no handler.
    SendPointerMessages(Modal(), false);
    SendPointerMessages(Modal(), true);
    SendPointerMessages(page.GetSafeHwnd(), false);
    SendPointerMessages(page.GetSafeHwnd(), true);
    EXPECT_EQ(modal.pointerMessages, std::vector<UINT>{});
    EXPECT_EQ(page.pointerMessages, std::vector<UINT>{});

    // Position changes: the system's own (with a record) are taken, from anyone; none without.
    const int positions = modal.positions;
    EXPECT_EQ(desktop.Send(Modal(), WM_WINDOWPOSCHANGING, 0, 0), 0);
    EXPECT_EQ(desktop.Send(Modal(), WM_WINDOWPOSCHANGED, 0, 0), 0);
    EXPECT_EQ(modal.positions, positions);
    desktop.ShowWindow(Modal(), SW_HIDE);
    EXPECT_GT(modal.positions, positions);
    EXPECT_TRUE(desktop.Running(process));
}

TEST_F(ForeignMessagesTest, InitialisedOnce) {
    ASSERT_NE(Modal(), nullptr);
    EXPECT_EQ(modal.inits, 1);
    EXPECT_EQ(page.inits, 1);
    for (HWND to : {Modal(), page.GetSafeHwnd(), modeless.GetSafeHwnd()}) {
        for (const LPARAM lParam : {LPARAM{0}, LPARAM{0x10}, reinterpret_cast<LPARAM>(&stranger)}) {
            desktop.Post(to, WM_INITDIALOG, 0, lParam);
            desktop.Send(to, WM_INITDIALOG, 0, lParam);
        }
    }
    desktop.Post(Modal(), WM_COMMAND, kSendOwnMessages, 0);  // its own thread sends one too
    desktop.Settle();
    EXPECT_EQ(modal.inits, 1);
    EXPECT_EQ(page.inits, 1);
    EXPECT_EQ(modeless.inits, 1);
    EXPECT_EQ(stranger.GetSafeHwnd(), nullptr) << "no window took the stranger";
    EXPECT_EQ(CWnd::FromHandlePermanent(Modal()), &modal);
}

TEST_F(ForeignMessagesTest, DestroyedOnlyWhenItIsDestroyed) {
    ASSERT_NE(Modal(), nullptr);
    const HWND settings = modeless.GetSafeHwnd();
    const HWND child = page.GetSafeHwnd();
    for (HWND to : {Modal(), settings, child}) {
        for (const UINT message : {WM_DESTROY, WM_NCDESTROY}) {
            desktop.Send(to, message, 0, 0);
            desktop.Post(to, message, 0, 0);
        }
    }
    desktop.Settle();
    EXPECT_EQ(modal.destroys + modeless.destroys + page.destroys, 0);
    EXPECT_EQ(CWnd::FromHandlePermanent(Modal()), &modal);
    EXPECT_EQ(CWnd::FromHandlePermanent(settings), &modeless);
    EXPECT_EQ(CWnd::FromHandlePermanent(child), &page);
    EXPECT_TRUE(desktop.Running(process)) << "the modal loop goes on";

    // A close sent by another program destroys the modeless window and its page for real, from
    // inside the handling of that message.
    desktop.Send(settings, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(settings));
    EXPECT_EQ(modeless.destroys, 1);
    EXPECT_EQ(page.destroys, 1);
    EXPECT_EQ(modeless.GetSafeHwnd(), nullptr);
    EXPECT_EQ(page.GetSafeHwnd(), nullptr);

    // The modal one ends as usual; DoModal lets go of it.
    desktop.Send(Modal(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_EQ(modal.destroys, 1);
    EXPECT_EQ(modal.GetSafeHwnd(), nullptr);
}

TEST_F(ForeignMessagesTest, PostsFilteredInEveryLoopOfTheProgram) {
    ASSERT_NE(Modal(), nullptr);
    desktop.Post(Modal(), WM_COMMAND, kOpenFileDialog, 0);
    desktop.Settle();
    ASSERT_TRUE(desktop.FileDialogOpen());
    // The system's file dialog runs the loop now.
    SendPointerMessages(Modal(), true);
    desktop.Post(Modal(), WM_NCDESTROY, 0, 0);
    desktop.Settle();
    EXPECT_EQ(modal.pointerMessages, std::vector<UINT>{});
    EXPECT_EQ(CWnd::FromHandlePermanent(Modal()), &modal);
    ASSERT_TRUE(desktop.AnswerFileDialog(std::nullopt));
    EXPECT_TRUE(desktop.Running(process));
}

TEST(PostedMessageFilterTest, TurnsForgedPostsIntoNullWhileItLives) {
    sim::Machine machine;
    sim::Desktop desktop{machine};
    bool installed = false;
    std::vector<UINT> during;
    std::vector<UINT> after;
    const auto drain = [](std::vector<UINT>& seen) {
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            seen.push_back(msg.message);
        }
    };
    desktop.Start([&] {
        const HWND window = machine.windows().Create(u"Test", u"Test", WS_POPUP, 0, nullptr, 0,
                                                     RECT{0, 0, 50, 50}, nullptr);
        {
            const framework::PostedMessageFilter filter;
            installed = filter.IsInstalled();
            for (const UINT message : {WM_NOTIFY, WM_INITDIALOG, WM_NCDESTROY, WM_COMMAND}) {
                PostMessageA(window, message, 1, 0x10);
            }
            drain(during);
        }
        PostMessageA(window, WM_NOTIFY, 1, 0x10);
        drain(after);
    });
    EXPECT_TRUE(installed);
    EXPECT_EQ(during, (std::vector<UINT>{WM_NULL, WM_NULL, WM_NULL, WM_COMMAND}));
    EXPECT_EQ(after, std::vector<UINT>{WM_NOTIFY}) << "removed with its owner";
}

}  // namespace
