// Entry of the headless tests: the toolkit's base library initialised, no display needed.
#include <wx/init.h>
#include <wx/log.h>

#include <gtest/gtest.h>

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
    wxInitializer initializer;
    if (!initializer.IsOk())
        return 1;
    wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler(FailOnAssert);
    return RUN_ALL_TESTS();
}
