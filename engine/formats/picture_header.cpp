#include "picture_header.h"

#include "header_checks.h"
#include "target_size.h"

namespace header {

HeaderVerdict Fail(HeaderProblem problem, long long width, long long height)
{
    return {problem, width, height};
}

HeaderVerdict SizeVerdict(long long width, long long height)
{
    if (width <= 0 || height <= 0)
        return Fail(HeaderProblem::kNoSize, width, height);
    if (width > target::kMaxSide || height > target::kMaxSide ||
        width * height > target::kMaxPixels)
        return Fail(HeaderProblem::kOverLimit, width, height);
    return {HeaderProblem::kNone, width, height};
}

HeaderVerdict Larger(const HeaderVerdict& a, const HeaderVerdict& b)
{
    if (!a.Passed())
        return a;
    if (!b.Passed())
        return b;
    return a.width * a.height >= b.width * b.height ? a : b;
}

}  // namespace header

HeaderVerdict CheckPictureHeader(PictureFormat format, ByteSource& bytes)
{
    using namespace header;
    switch (format) {
        case PictureFormat::kBmp:
            return CheckBmp(bytes);
        case PictureFormat::kPng:
            return CheckPng(bytes);
        case PictureFormat::kJpeg:
            return CheckJpeg(bytes);
        case PictureFormat::kTiff:
            return CheckTiff(bytes);
        case PictureFormat::kGif:
            return CheckGif(bytes);
        case PictureFormat::kPnm:
            return CheckPnm(bytes);
        case PictureFormat::kPcx:
            return CheckPcx(bytes);
        case PictureFormat::kIco:
            return CheckIconFile(bytes, 1);
        case PictureFormat::kCur:
            return CheckIconFile(bytes, 2);
        case PictureFormat::kAni:
            return CheckAni(bytes);
        case PictureFormat::kTga:
            return CheckTga(bytes);
    }
    return Fail(HeaderProblem::kMalformed);
}
