// Entry of the update check tests: a plain application object on the display of the
// environment (Xvfb in the test scripts), message boxes answered in process.
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/log.h>

#include <gtest/gtest.h>

#include <memory>

namespace
{

// A failed toolkit assertion fails the test that caused it.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion in " << func << ": " << cond << " " << msg;
}

}   // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();   // listing needs no display
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv))
    {
        fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler(FailOnAssert);
    wxTheApp->SetVendorName(KERV_VENDOR_NAME);
    wxTheApp->SetAppName("Kerv");
    int result = 0;
    {
        wxEventLoop loop;
        wxEventLoopActivator active(&loop);
        result = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    return result;
}
