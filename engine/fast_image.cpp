// SPDX-License-Identifier: GPL-3.0-or-later
#include "fast_image.h"

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/module.h>
#include <wx/mstream.h>
#include <wx/wfstream.h>

#include "byte_source.h"
#include "picture_reader.h"

wxIMPLEMENT_DYNAMIC_CLASS(wxFastImage, wxObject);

namespace {

// Holds the log messages of a scope instead of showing them; PassOn() hands them to the log
// target that was active before, when the scope ends.
class HeldLogMessages : public wxLog {
public:
    HeldLogMessages() : previous_(wxLog::SetActiveTarget(this)) {}
    ~HeldLogMessages() override
    {
        wxLog::SetActiveTarget(previous_);
        if (passOn_) {
            for (const auto& [level, text] : messages_)
                wxLogGeneric(level, "%s", text);
        }
    }
    void PassOn() { passOn_ = true; }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& text, const wxLogRecordInfo&) override
    {
        messages_.emplace_back(level, text);
    }

private:
    wxLog* previous_;
    std::vector<std::pair<wxLogLevel, wxString>> messages_;
    bool passOn_ = false;
};

// The reader list lives no longer than the toolkit: whatever fills it, the toolkit's shut-down
// deletes the readers left in it.
class FastImageModule : public wxModule {
public:
    bool OnInit() override { return true; }
    void OnExit() override { wxFastImage::CleanUpHandlers(); }

private:
    wxDECLARE_DYNAMIC_CLASS(FastImageModule);
};

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(FastImageModule, wxModule);

wxList wxFastImage::sm_handlers;

wxFastImageRefData::~wxFastImageRefData()
{
    if (!m_static)
        std::free(m_data);
    if (!m_staticAlpha)
        std::free(m_alpha);
}

wxFastImage::wxFastImage(int width, int height, bool clear)
{
    auto* data = new wxFastImageRefData;
    m_refData = data;
    const size_t bytes = static_cast<size_t>(width) * height * 3;
    data->m_data = static_cast<unsigned char*>(clear ? std::calloc(bytes ? bytes : 1, 1)
                                                     : std::malloc(bytes ? bytes : 1));
    if (!data->m_data)
        return;  // stays not OK
    data->m_width = width;
    data->m_height = height;
    data->m_ok = true;
}

wxObjectRefData* wxFastImage::CreateRefData() const
{
    return new wxFastImageRefData;
}

wxObjectRefData* wxFastImage::CloneRefData(const wxObjectRefData* source) const
{
    const auto* from = static_cast<const wxFastImageRefData*>(source);
    auto* copy = new wxFastImageRefData;
    copy->m_width = from->m_width;
    copy->m_height = from->m_height;
    copy->m_hasMask = from->m_hasMask;
    copy->m_maskRed = from->m_maskRed;
    copy->m_maskGreen = from->m_maskGreen;
    copy->m_maskBlue = from->m_maskBlue;
    copy->m_ok = from->m_ok;
    const size_t pixels = static_cast<size_t>(from->m_width) * from->m_height;
    if (from->m_data) {
        copy->m_data = static_cast<unsigned char*>(std::malloc(pixels * 3));
        if (copy->m_data)
            std::memcpy(copy->m_data, from->m_data, pixels * 3);
        else
            copy->m_ok = false;
    }
    if (from->m_alpha) {
        copy->m_alpha = static_cast<unsigned char*>(std::malloc(pixels));
        if (copy->m_alpha)
            std::memcpy(copy->m_alpha, from->m_alpha, pixels);
    }
    return copy;
}

bool wxFastImage::IsOk() const
{
    const wxFastImageRefData* data = Data();
    return data && data->m_ok && data->m_width != 0 && data->m_height != 0;
}

int wxFastImage::GetWidth() const
{
    return IsOk() ? Data()->m_width : 0;
}

int wxFastImage::GetHeight() const
{
    return IsOk() ? Data()->m_height : 0;
}

unsigned char* wxFastImage::GetData() const
{
    return IsOk() ? Data()->m_data : nullptr;
}

unsigned char* wxFastImage::GetAlpha() const
{
    return IsOk() ? Data()->m_alpha : nullptr;
}

bool wxFastImage::HasMask() const
{
    return IsOk() && Data()->m_hasMask;
}

unsigned char wxFastImage::GetMaskRed() const
{
    return Data() ? Data()->m_maskRed : 0;
}

unsigned char wxFastImage::GetMaskGreen() const
{
    return Data() ? Data()->m_maskGreen : 0;
}

unsigned char wxFastImage::GetMaskBlue() const
{
    return Data() ? Data()->m_maskBlue : 0;
}

void wxFastImage::SetMaskColour(unsigned char r, unsigned char g, unsigned char b)
{
    if (!IsOk())
        return;
    Data()->m_hasMask = true;
    Data()->m_maskRed = r;
    Data()->m_maskGreen = g;
    Data()->m_maskBlue = b;
}

void wxFastImage::SetData(unsigned char* data, int width, int height, bool isStatic)
{
    auto* fresh = new wxFastImageRefData;
    fresh->m_data = data;
    fresh->m_width = width;
    fresh->m_height = height;
    fresh->m_ok = true;
    fresh->m_static = isStatic;
    if (const wxFastImageRefData* old = Data()) {
        fresh->m_hasMask = old->m_hasMask;
        fresh->m_maskRed = old->m_maskRed;
        fresh->m_maskGreen = old->m_maskGreen;
        fresh->m_maskBlue = old->m_maskBlue;
    }
    UnRef();
    m_refData = fresh;
}

void wxFastImage::SetData(unsigned char* data, bool isStatic)
{
    if (!IsOk())
        return;
    SetData(data, GetWidth(), GetHeight(), isStatic);
}

void wxFastImage::SetNewSize(int width, int height)
{
    if (wxFastImageRefData* data = Data()) {
        data->m_width = width;
        data->m_height = height;
    }
}

bool wxFastImage::LoadFile(const wxString& name, long type, int index)
{
    if (!wxFileExists(name)) {
        wxLogError(_("Can't load image from file '%s': file does not exist."), name);
        return false;
    }
    FileBytes bytes(std::string(name.fn_str()));
    wxFileInputStream file(name);
    if (!bytes.IsOpen() || !file.IsOk())
        return false;
    wxBufferedInputStream stream(file);
    return Load(stream, bytes, type, index);
}

bool wxFastImage::LoadBytes(const void* data, size_t size, long type, int index)
{
    MemoryBytes bytes(data, size);
    wxMemoryInputStream stream(data, size);
    return Load(stream, bytes, type, index);
}

bool wxFastImage::Load(wxInputStream& stream, ByteSource& bytes, long type, int index)
{
    UnRef();
    m_refData = new wxFastImageRefData;
    wxImage image;
    bool read;
    {
        // Readers also report harmless oddities of files they read well (a PNG's colour profile,
        // say); those would pop up in front of the user. What they say is passed on only when
        // the picture could not be read.
        HeldLogMessages held;
        read = ReadPicture(stream, bytes, type, index, image);
        if (!read)
            held.PassOn();
    }
    return read && AdoptImage(image);
}

// Takes a copy of a handler's result: pixels, alpha and mask colour.
bool wxFastImage::AdoptImage(const wxImage& image)
{
    const size_t pixels = static_cast<size_t>(image.GetWidth()) * image.GetHeight();
    auto* data = static_cast<unsigned char*>(std::malloc(pixels * 3));
    if (!data)
        return false;
    std::memcpy(data, image.GetData(), pixels * 3);
    SetData(data, image.GetWidth(), image.GetHeight(), false);
    if (image.HasMask())
        SetMaskColour(image.GetMaskRed(), image.GetMaskGreen(), image.GetMaskBlue());
    if (image.HasAlpha()) {
        Data()->m_alpha = static_cast<unsigned char*>(std::malloc(pixels));
        if (Data()->m_alpha)
            std::memcpy(Data()->m_alpha, image.GetAlpha(), pixels);
    }
    return true;
}

bool wxFastImage::SaveFile(const wxString& name) const
{
    if (!IsOk())
        return false;
    return AsImage().SaveFile(name);
}

// Calls fn(i, level, isMask) for every pixel i: the luma of its weights, rounded, or, for a pixel
// of the mask colour (isMask), the mask colour's red.
template <typename Fn>
void wxFastImage::ForEachGreyLevel(double weightRed, double weightGreen, double weightBlue,
                                   const Fn& fn) const
{
    const bool masked = HasMask();
    const unsigned char maskRed = GetMaskRed(), maskGreen = GetMaskGreen(),
                        maskBlue = GetMaskBlue();
    const size_t pixels = static_cast<size_t>(GetWidth()) * GetHeight();
    const unsigned char* src = GetData();
    for (size_t i = 0; i < pixels; ++i, src += 3) {
        if (masked && src[0] == maskRed && src[1] == maskGreen && src[2] == maskBlue) {
            fn(i, maskRed, true);
            continue;
        }
        const double luma = src[0] * weightRed + src[1] * weightGreen + src[2] * weightBlue + 0.5;
        fn(i, static_cast<unsigned char>(luma), false);
    }
}

std::vector<unsigned char> wxFastImage::GreyLevels(double weightRed, double weightGreen,
                                                   double weightBlue) const
{
    std::vector<unsigned char> levels;
    if (!IsOk())
        return levels;
    levels.resize(static_cast<size_t>(GetWidth()) * GetHeight());
    ForEachGreyLevel(weightRed, weightGreen, weightBlue,
                     [&](size_t i, unsigned char level, bool) { levels[i] = level; });
    return levels;
}

wxFastImage wxFastImage::ConvertToGreyscale(double weightRed, double weightGreen,
                                            double weightBlue) const
{
    wxFastImage grey;
    if (!IsOk())
        return grey;
    grey = wxFastImage(GetWidth(), GetHeight(), false);
    if (!grey.IsOk())
        return grey;
    if (HasMask())
        grey.SetMaskColour(GetMaskRed(), GetMaskGreen(), GetMaskBlue());
    const size_t pixels = static_cast<size_t>(GetWidth()) * GetHeight();
    const unsigned char* src = GetData();
    unsigned char* dst = grey.GetData();
    // A pixel of the mask colour keeps its colour.
    ForEachGreyLevel(weightRed, weightGreen, weightBlue,
                     [&](size_t i, unsigned char level, bool isMask) {
                         if (isMask)
                             std::memcpy(dst + i * 3, src + i * 3, 3);
                         else
                             dst[i * 3] = dst[i * 3 + 1] = dst[i * 3 + 2] = level;
                     });
    if (const unsigned char* alpha = GetAlpha()) {
        grey.Data()->m_alpha = static_cast<unsigned char*>(std::malloc(pixels));
        if (grey.Data()->m_alpha)
            std::memcpy(grey.Data()->m_alpha, alpha, pixels);
    }
    return grey;
}

wxImage wxFastImage::AsImage() const
{
    if (!IsOk())
        return wxImage();
    wxImage view(GetWidth(), GetHeight(), GetData(), true);
    if (HasMask())
        view.SetMaskColour(GetMaskRed(), GetMaskGreen(), GetMaskBlue());
    if (unsigned char* alpha = GetAlpha())
        view.SetAlpha(alpha, true);
    return view;
}

wxImage wxFastImage::CopyToImage() const
{
    return AsImage().Copy();
}

void wxFastImage::AddHandler(wxImageHandler* handler)
{
    if (FindHandler(handler->GetType())) {
        delete handler;
        return;
    }
    sm_handlers.Append(handler);
}

wxImageHandler* wxFastImage::FindHandler(long type)
{
    for (wxObject* object : sm_handlers) {
        auto* handler = static_cast<wxImageHandler*>(object);
        if (handler->GetType() == type)
            return handler;
    }
    return nullptr;
}

void wxFastImage::CleanUpHandlers()
{
    for (wxObject* object : sm_handlers)
        delete object;
    sm_handlers.Clear();
}
