// MainApp's start-up: store names, both handler lists, the archive file system, translations,
// and the main window.
#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

#include "app_identity.h"
#include "fast_image.h"
#include "gui_test_support.h"
#include "main_app.h"
#include "main_frame.h"

using StartUpTest = GuiTest;

TEST_F(StartUpTest, OnInitNamesTheStoreRegistersHandlersAndShowsTheMainWindow)
{
    wxFastImage::CleanUpHandlers();
    ASSERT_TRUE(wxGetApp().OnInit());
    EXPECT_EQ(wxGetApp().GetVendorName(), szVendorName);
    EXPECT_EQ(wxGetApp().GetAppName(), "Kerv");

    auto* frame = dynamic_cast<CMainFrame*>(wxGetApp().GetTopWindow());
    ASSERT_NE(frame, nullptr);
    // Its housekeeping (the update reminder) is the update check's business.
    frame->timerStartUp.Stop();
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67");
    EXPECT_EQ(frame->GetParent(), nullptr);

    EXPECT_NE(wxImage::FindHandler(wxBITMAP_TYPE_PNG), nullptr);
    EXPECT_NE(wxImage::FindHandler(wxBITMAP_TYPE_TGA), nullptr);
}

TEST_F(StartUpTest, EngineHandlersAreRegisteredInTheOrderThatDecidesUnknownTypes)
{
    wxFastImage::CleanUpHandlers();
    MainApp::RegisterFastImageHandlers();
    struct Expected {
        const char* name;
        const char* extension;
        long type;
        const char* mime;
    };
    const Expected expected[] = {
        {"Windows bitmap file", "bmp", wxBITMAP_TYPE_BMP, "image/x-bmp"},
        {"PNG file", "png", wxBITMAP_TYPE_PNG, "image/png"},
        {"JPEG file", "jpg", wxBITMAP_TYPE_JPEG, "image/jpeg"},
        {nullptr, "tif", wxBITMAP_TYPE_TIFF, "image/tiff"},
        {"GIF file", "gif", wxBITMAP_TYPE_GIF, "image/gif"},
        {"PNM file", "pnm", wxBITMAP_TYPE_PNM, "image/pnm"},
        {"PCX file", "pcx", wxBITMAP_TYPE_PCX, "image/pcx"},
        {"Windows icon file", "ico", wxBITMAP_TYPE_ICO, "image/x-ico"},
        {"Windows cursor file", "cur", wxBITMAP_TYPE_CUR, "image/x-cur"},
        {"Windows animated cursor file", "ani", wxBITMAP_TYPE_ANI, "image/x-ani"},
        {"TGA file", "tga", wxBITMAP_TYPE_TGA, "image/tga"},
    };
    ASSERT_EQ(wxFastImage::sm_handlers.GetCount(), WXSIZEOF(expected));
    size_t i = 0;
    for (wxObject* object : wxFastImage::sm_handlers) {
        auto* handler = static_cast<wxImageHandler*>(object);
        if (expected[i].name) {
            EXPECT_EQ(handler->GetName(), expected[i].name);
        }
        EXPECT_EQ(handler->GetExtension(), expected[i].extension);
        EXPECT_EQ(handler->GetType(), expected[i].type);
        EXPECT_EQ(handler->GetMimeType(), expected[i].mime);
        ++i;
    }
    EXPECT_EQ(wxFastImage::FindHandler(wxBITMAP_TYPE_JPEG)->GetName(), "JPEG file");
    // Type codes as the settings and the engine know them.
    EXPECT_EQ(wxBITMAP_TYPE_PNG, 15);
    EXPECT_EQ(wxBITMAP_TYPE_TGA, 29);
}

TEST_F(StartUpTest, ArchiveFileSystemReadsThePackedHelpBook)
{
    ASSERT_TRUE(wxGetApp().OnInit());
    static_cast<CMainFrame*>(wxGetApp().GetTopWindow())->timerStartUp.Stop();
    wxFileSystem fs;
    wxFSFile* project =
        fs.OpenFile(wxFileSystem::FileNameToURL(wxFileName(KERV_HELP_BOOK)) + "#zip:kerv.hhp");
    ASSERT_NE(project, nullptr);
    delete project;
}

TEST_F(StartUpTest, GermanCatalogIsFoundBesideTheProgramAndUsed)
{
    wxLocale german;
    MainApp::InitLocale(german, wxLANGUAGE_GERMAN);
    EXPECT_TRUE(german.IsLoaded("kerv"));
    EXPECT_EQ(wxGetTranslation("Really quit?"), wxString::FromUTF8("Wirklich beenden?"));

    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(frame->menuBar->GetMenuLabel(0), "&Datei");
    EXPECT_EQ(frame->menuBar->FindItem(128)->GetItemLabel(), "&Beenden\tAlt+F4");
    EXPECT_EQ(frame->textOriginal->GetLabel(), wxString::FromUTF8("Originalgröße n. v."));
    // Title and version are never translated.
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67");

    wxTEST_DIALOG(frame->Close(false),
                  wxExpectModal<CDontShowDialog>(1, false, "Wirklich beenden?", "Frage"));
}

TEST_F(StartUpTest, LanguageWithoutCatalogStaysEnglish)
{
    wxLocale french;
    MainApp::InitLocale(french, wxLANGUAGE_FRENCH);
    EXPECT_FALSE(french.IsLoaded("kerv"));
    EXPECT_EQ(wxGetTranslation("Really quit?"), "Really quit?");
}
