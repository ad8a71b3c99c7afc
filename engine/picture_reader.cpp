// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_reader.h"

#include <optional>

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stream.h>

#include "byte_source_stream.h"
#include "decoded_picture.h"
#include "fast_image.h"
#include "picture_header.h"
#include "target_size.h"

namespace {

std::optional<PictureFormat> FormatOf(long type)
{
    switch (type) {
        case wxBITMAP_TYPE_BMP:
            return PictureFormat::kBmp;
        case wxBITMAP_TYPE_PNG:
            return PictureFormat::kPng;
        case wxBITMAP_TYPE_JPEG:
            return PictureFormat::kJpeg;
        case wxBITMAP_TYPE_TIFF:
            return PictureFormat::kTiff;
        case wxBITMAP_TYPE_GIF:
            return PictureFormat::kGif;
        case wxBITMAP_TYPE_PNM:
            return PictureFormat::kPnm;
        case wxBITMAP_TYPE_PCX:
            return PictureFormat::kPcx;
        case wxBITMAP_TYPE_ICO:
            return PictureFormat::kIco;
        case wxBITMAP_TYPE_CUR:
            return PictureFormat::kCur;
        case wxBITMAP_TYPE_ANI:
            return PictureFormat::kAni;
        case wxBITMAP_TYPE_TGA:
            return PictureFormat::kTga;
        default:
            return std::nullopt;
    }
}

wxString RefusalText(const HeaderVerdict& verdict)
{
    switch (verdict.problem) {
        case HeaderProblem::kNone:
            return wxString();
        case HeaderProblem::kOverLimit:
            return wxString::Format(
                _("the picture is %lld x %lld pixels, over the limit of %d pixels "
                  "a side and %lld pixels in all"),
                verdict.width, verdict.height, target::kMaxSide, target::kMaxPixels);
        case HeaderProblem::kNoSize:
            return wxString::Format(_("the picture declares an empty size of %lld x %lld pixels"),
                                    verdict.width, verdict.height);
        case HeaderProblem::kTruncated:
            return _("the file is shorter than its header says");
        case HeaderProblem::kBadColourTable:
            return _("its colour table does not fit the picture");
        case HeaderProblem::kBadFrames:
            return _("its frames or offsets point beyond the file");
        case HeaderProblem::kMalformed:
            break;
    }
    return _("its header is damaged or of a kind that cannot be read");
}

// Whether a reader of the list takes the file, judged from its first bytes. The toolkit's own
// recognisers are not used: some of them walk the file's structure before any check.
bool Recognises(const wxImageHandler& handler, ByteSource& bytes)
{
    const std::optional<PictureFormat> format = FormatOf(handler.GetType());
    return format && RecognisePicture(*format, bytes);
}

// The reader for the bytes: the one of the type, or the first that recognises them.
wxImageHandler* ChooseReader(ByteSource& bytes, long type)
{
    if (type != wxBITMAP_TYPE_ANY) {
        wxImageHandler* reader = wxFastImage::FindHandler(type);
        if (!reader) {
            wxLogWarning(_("No image handler for type %ld defined."), type);
            return nullptr;
        }
        if (!Recognises(*reader, bytes)) {
            wxLogError(_("Image file is not of type %ld."), type);
            return nullptr;
        }
        return reader;
    }
    for (wxObject* object : wxFastImage::sm_handlers) {
        auto* handler = static_cast<wxImageHandler*>(object);
        if (Recognises(*handler, bytes))
            return handler;
    }
    wxLogWarning(_("No handler found for image type."));
    return nullptr;
}

// The formats decoded by decoders of our own rather than the toolkit's readers.
using Decoder = bool (*)(ByteSource&, DecodedPicture&);
Decoder OwnDecoderFor(long type)
{
    switch (type) {
        case wxBITMAP_TYPE_PNM:
            return DecodePnm;
        case wxBITMAP_TYPE_TGA:
            return DecodeTga;
        case wxBITMAP_TYPE_JPEG:
            return DecodeJpeg;
        case wxBITMAP_TYPE_BMP:
            return DecodeBmp;
        case wxBITMAP_TYPE_PCX:
            return DecodePcx;
        case wxBITMAP_TYPE_GIF:
            return DecodeGif;
        default:
            return nullptr;
    }
}

bool TakeDecoded(DecodedPicture& picture, wxImage& image)
{
    image.SetData(picture.rgb.release(), picture.width, picture.height);
    if (picture.alpha)
        image.SetAlpha(picture.alpha.release());
    if (picture.masked)
        image.SetMaskColour(picture.mask[0], picture.mask[1], picture.mask[2]);
    return image.IsOk();
}

bool DecodeOwn(Decoder decoder, ByteSource& bytes, wxImage& image)
{
    DecodedPicture picture;
    if (!decoder(bytes, picture)) {
        wxLogError(_("the picture's data is damaged"));
        return false;
    }
    return TakeDecoded(picture, image);
}

// The icon file at [offset, offset + length): a bitmap entry by our own decoder, a PNG entry
// by the PNG reader, handed that entry alone (its header was checked with the file's).
bool ReadIcon(ByteSource& bytes, uint64_t offset, uint64_t length, int index, wxImage& image)
{
    IconEntry entry;
    DecodedPicture picture;
    if (ChooseIconEntry(bytes, offset, index, entry)) {
        if (!entry.png && DecodeIconBitmap(bytes, entry, picture))
            return TakeDecoded(picture, image);
        wxImageHandler* png = wxFastImage::FindHandler(wxBITMAP_TYPE_PNG);
        if (entry.png && png && entry.offset <= offset + length) {
            ByteSourceStream stream(bytes, entry.offset, offset + length - entry.offset);
            return png->LoadFile(&image, stream, true, -1) && image.IsOk();
        }
    }
    wxLogError(_("the picture's data is damaged"));
    return false;
}

// The icon of an animated cursor's first step; the container itself is walked by its check.
bool ReadAnimatedCursor(ByteSource& bytes, wxImage& image)
{
    IconRange first;
    if (!CheckAni(bytes, first).Passed())
        return false;
    return ReadIcon(bytes, first.offset, first.length, -1, image);
}

HeaderVerdict CheckFor(const wxImageHandler& reader, ByteSource& bytes)
{
    const std::optional<PictureFormat> format = FormatOf(reader.GetType());
    if (!format)
        return {};
    return CheckPictureHeader(*format, bytes);
}

}  // namespace

bool ReadPicture(wxInputStream& stream, ByteSource& bytes, long type, int index, wxImage& image)
{
    image.Destroy();
    wxImageHandler* reader = ChooseReader(bytes, type);
    if (!reader)
        return false;
    const HeaderVerdict verdict = CheckFor(*reader, bytes);
    if (!verdict.Passed()) {
        wxLogError("%s", RefusalText(verdict));
        return false;
    }
    if (const Decoder decoder = OwnDecoderFor(reader->GetType()))
        return DecodeOwn(decoder, bytes, image);
    if (reader->GetType() == wxBITMAP_TYPE_ANI)
        return ReadAnimatedCursor(bytes, image);
    if (reader->GetType() == wxBITMAP_TYPE_ICO || reader->GetType() == wxBITMAP_TYPE_CUR)
        return ReadIcon(bytes, 0, bytes.Size(), index, image);
    return reader->LoadFile(&image, stream, true, index) && image.IsOk();
}

wxString PictureHeaderRefusal(const wxString& name)
{
    FileBytes bytes(std::string(name.fn_str()));
    if (!bytes.IsOpen())
        return wxString();
    wxLogNull quiet;  // a file no reader knows is the decode's to report
    const wxImageHandler* reader = ChooseReader(bytes, wxBITMAP_TYPE_ANY);
    return reader ? RefusalText(CheckFor(*reader, bytes)) : wxString();
}

bool ReadPictureFile(const wxString& name, wxImage& image)
{
    wxFastImage picture;
    if (!picture.LoadFile(name))
        return false;
    image = picture.CopyToImage();
    return image.IsOk();
}
