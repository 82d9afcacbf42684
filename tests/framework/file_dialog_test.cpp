// CFileDialog on the simulated machine: the system's Open dialog over the right owner, and the
// path the user picked.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/file_dialog.h"
#include "framework/win_app.h"
#include "framework/wnd.h"
#include "platform/sim/desktop.h"

namespace {

struct Result {
    INT_PTR code;
    std::string path;
    DWORD error;
    bool operator==(const Result&) const = default;
};

class CFileDialogTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    HWND main = nullptr;
    HWND settings = nullptr;
    CFileDialog* open = nullptr;  // the dialog whose DoModal is running
    std::vector<Result> results;

    HWND Create(const char16_t* title, DWORD style, HWND parent) {
        return machine.windows().Create(u"Test", title, style, 0, parent, 0, RECT{0, 0, 50, 50},
                                        nullptr);
    }

    void Run(CFileDialog& dialog) {
        open = &dialog;
        const INT_PTR code = dialog.DoModal();
        open = nullptr;
        results.push_back(Result{code, dialog.GetPathName().str(), CommDlgExtendedError()});
    }

    HWND DialogOwner() const { return GetWindow(desktop.ActiveWindow(), GW_OWNER); }
};

TEST_F(CFileDialogTest, OpensOverTheMainWindowOrTheParentsTopLevelWindow) {
    const char* filter = "Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*||";
    desktop.Start([&] {
        main = Create(u"Main", WS_POPUP, nullptr);
        settings = Create(u"Settings", WS_POPUP | WS_VISIBLE, nullptr);
        const HWND page = Create(u"Page", WS_CHILD | WS_VISIBLE, settings);
        CWinApp app;
        CWnd main_wnd;
        main_wnd.Attach(main);
        app.m_pMainWnd = &main_wnd;
        CWnd page_wnd;
        page_wnd.Attach(page);

        CFileDialog picked(TRUE, "bmp", "frame.bmp", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter);
        Run(picked);
        CFileDialog from_page(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, nullptr, &page_wnd);
        Run(from_page);
        CFileDialog cancelled(TRUE, nullptr, "frame.bmp");
        Run(cancelled);

        CFileDialog save(FALSE);
        Run(save);
        machine.faults().Fail("GetOpenFileNameA");
        CFileDialog failing(TRUE, nullptr, "frame.bmp");
        Run(failing);

        page_wnd.Detach();
        main_wnd.Detach();
    });

    ASSERT_TRUE(desktop.FileDialogOpen());
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(DialogOwner(), main) << "without a parent the main window owns the dialog";
    EXPECT_FALSE(IsWindowEnabled(main));
    const OPENFILENAMEA& ofn = open->m_ofn;
    EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEA));
    EXPECT_EQ(ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(ofn.Flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER));
    EXPECT_STREQ(ofn.lpstrDefExt, "bmp");
    const char expected_filter[] = "Bitmaps (*.bmp)\0*.bmp\0All files (*.*)\0*.*\0";
    ASSERT_NE(ofn.lpstrFilter, nullptr);
    EXPECT_EQ(std::string(ofn.lpstrFilter, sizeof expected_filter),
              std::string(expected_filter, sizeof expected_filter));
    EXPECT_EQ(open->GetPathName(), CString("frame.bmp")) << "the initial name, until one is picked";
    const HWND first = desktop.ActiveWindow();
    ASSERT_TRUE(desktop.AnswerFileDialog("C:\\Pictures\\frame 2.bmp"));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindowEnabled(main));

    ASSERT_TRUE(desktop.FileDialogOpen());
    EXPECT_EQ(DialogOwner(), settings) << "a child's top-level window owns the dialog";
    EXPECT_EQ(open->m_ofn.lpstrFilter, nullptr);
    EXPECT_EQ(open->GetPathName(), CString(""));
    ASSERT_TRUE(desktop.AnswerFileDialog("D:\\other.png"));

    ASSERT_TRUE(desktop.FileDialogOpen());
    ASSERT_TRUE(desktop.AnswerFileDialog(std::nullopt));
    EXPECT_FALSE(desktop.FileDialogOpen()) << "the save dialog is not provided";

    EXPECT_EQ(results, (std::vector<Result>{
                           {IDOK, "C:\\Pictures\\frame 2.bmp", 0},
                           {IDOK, "D:\\other.png", 0},
                           {IDCANCEL, "frame.bmp", 0},
                           {-1, "", 0},
                           {IDCANCEL, "frame.bmp", CDERR_DIALOGFAILURE},
                       }));
}

}  // namespace
