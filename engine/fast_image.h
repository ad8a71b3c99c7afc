// SPDX-License-Identifier: GPL-3.0-or-later
// wxFastImage: the engine's picture container.
//
// An RGB picture (3 bytes per pixel, rows top to bottom, no padding) in reference-counted
// shared data, read through a handler list of its own (sm_handlers) rather than the toolkit's
// global one. Besides the image-class basics it offers SetNewSize, which rewrites the recorded
// size in place so that the engine can shrink a picture without copying it.
//
// Interchangeability with wxImage: handlers fill a wxImage, whose pixels are adopted once at
// load time; AsImage() views the current pixels as a wxImage that shares the buffer (static
// data, no copy). Such a view is valid until the next SetData on the picture.
#ifndef KERV_ENGINE_FAST_IMAGE_H
#define KERV_ENGINE_FAST_IMAGE_H

#include <vector>

#include <wx/image.h>
#include <wx/list.h>
#include <wx/object.h>
#include <wx/string.h>

class ByteSource;
class wxInputStream;

class wxFastImageRefData : public wxObjectRefData {
public:
    wxFastImageRefData() = default;
    ~wxFastImageRefData() override;

    int m_width = 0;
    int m_height = 0;
    unsigned char* m_data = nullptr;  // malloc'd, width*height*3 bytes at least
    bool m_hasMask = false;
    unsigned char m_maskRed = 0, m_maskGreen = 0, m_maskBlue = 0;
    unsigned char* m_alpha = nullptr;  // malloc'd, one byte per pixel, or null
    bool m_ok = false;
    bool m_static = false;       // m_data belongs to somebody else
    bool m_staticAlpha = false;  // m_alpha belongs to somebody else
};

class wxFastImage : public wxObject {
public:
    wxFastImage() = default;
    wxFastImage(int width, int height, bool clear = true);
    wxFastImage(const wxFastImage& other) = default;
    wxFastImage& operator=(const wxFastImage& other) = default;

    bool IsOk() const;
    int GetWidth() const;
    int GetHeight() const;
    unsigned char* GetData() const;
    unsigned char* GetAlpha() const;
    bool HasMask() const;
    unsigned char GetMaskRed() const;
    unsigned char GetMaskGreen() const;
    unsigned char GetMaskBlue() const;
    void SetMaskColour(unsigned char r, unsigned char g, unsigned char b);

    // New data of the given size holding `data` (owned unless isStatic). The mask colour is
    // carried over; alpha is not. The previous data dies with its last reference.
    void SetData(unsigned char* data, int width, int height, bool isStatic = false);
    // The same keeping the current size; does nothing (and takes nothing over) when !IsOk().
    void SetData(unsigned char* data, bool isStatic = false);
    // Rewrites the recorded size of the shared data in place. The caller guarantees that the
    // buffer holds at least width*height*3 bytes; every holder of the data sees the new size.
    void SetNewSize(int width, int height);

    // Reads a picture through sm_handlers (see picture_reader.h: header check, then decode).
    // type wxBITMAP_TYPE_ANY asks each handler in list order. A missing file keeps the previous
    // picture; any other failure leaves it not OK.
    virtual bool LoadFile(const wxString& name, long type = wxBITMAP_TYPE_ANY, int index = -1);
    // The same for a picture held in memory.
    bool LoadBytes(const void* data, size_t size, long type = wxBITMAP_TYPE_ANY, int index = -1);
    // Writes the picture through the toolkit's image handlers, the format by extension.
    bool SaveFile(const wxString& name) const;

    wxFastImage ConvertToGreyscale(double weightRed, double weightGreen, double weightBlue) const;
    // The grey level of every pixel, one byte each: what ConvertToGreyscale writes in all three
    // channels (the mask colour's red where a pixel has the mask colour). Empty when not OK.
    std::vector<unsigned char> GreyLevels(double weightRed, double weightGreen,
                                          double weightBlue) const;

    // A wxImage sharing this picture's pixels (no copy); valid until the next SetData here.
    wxImage AsImage() const;
    // A wxImage with its own copy of the pixels (and alpha, mask colour).
    wxImage CopyToImage() const;

    static void AddHandler(wxImageHandler* handler);
    static wxImageHandler* FindHandler(long type);
    static void CleanUpHandlers();
    static wxList sm_handlers;

protected:
    wxObjectRefData* CreateRefData() const override;
    wxObjectRefData* CloneRefData(const wxObjectRefData* data) const override;

private:
    template <typename Fn>
    void ForEachGreyLevel(double weightRed, double weightGreen, double weightBlue,
                          const Fn& fn) const;
    wxFastImageRefData* Data() const { return static_cast<wxFastImageRefData*>(m_refData); }
    bool Load(wxInputStream& stream, ByteSource& bytes, long type, int index);
    bool AdoptImage(const wxImage& image);

    wxDECLARE_DYNAMIC_CLASS(wxFastImage);
};

#endif
