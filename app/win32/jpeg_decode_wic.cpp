// decodeJpeg through the Windows Imaging Component, for Windows builds without libjpeg. It keeps the libjpeg
// decoder's contract: red, green, blue rows bottom first, greyscale widened, CMYK and YCCK refused, nothing
// shown on failure.
#include "base/load_stop.h"
#include "data/jpeg_image.h"

#include "data/jpeg_header.h"

#include <windows.h>

#include <wincodec.h> // after windows.h, which it assumes

#include <cstddef>

namespace {

// Owns one reference to a COM interface.
template <typename Interface> class ComReference {
public:
    ComReference() = default;
    ~ComReference() {
        if (pointer_)
            pointer_->Release();
    }
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;

    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    Interface** receive() { return &pointer_; }

private:
    Interface* pointer_ = nullptr;
};

// COM must be initialised on the thread that decodes. When the caller has done so already this only adds a
// reference, or reports that the thread is in the other apartment model, which serves as well.
class ComOnThisThread {
public:
    ComOnThisThread() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComOnThisThread() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComOnThisThread(const ComOnThisThread&) = delete;
    ComOnThisThread& operator=(const ComOnThisThread&) = delete;

    bool ready() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

// The first frame of the file, read by the JPEG decoder only: WIC would also take a PNG or a GIF, which the
// libjpeg decoder refuses, and both builds must accept the same files.
bool openJpegFrame(IWICImagingFactory* factory, std::span<const std::uint8_t> file, IWICStream** stream,
                   IWICBitmapDecoder** decoder, IWICBitmapFrameDecode** frame) {
    if (FAILED(factory->CreateStream(stream)))
        return false;
    // WIC reads the bytes in place and never writes to them.
    BYTE* bytes = const_cast<BYTE*>(file.data());
    if (FAILED((*stream)->InitializeFromMemory(bytes, static_cast<DWORD>(file.size()))))
        return false;
    if (FAILED(factory->CreateDecoder(GUID_ContainerFormatJpeg, nullptr, decoder)))
        return false;
    if (FAILED((*decoder)->Initialize(*stream, WICDecodeMetadataCacheOnDemand)))
        return false;
    return SUCCEEDED((*decoder)->GetFrame(0, frame));
}

// Bytes per pixel of the formats WIC decodes colour and greyscale JPEGs to; 0 for the rest, CMYK among them
// (WIC gives YCCK files as CMYK too).
int componentsOf(const WICPixelFormatGUID& format) {
    if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        return 3;
    if (IsEqualGUID(format, GUID_WICPixelFormat8bppGray))
        return 1;
    return 0;
}

bool readPicture(IWICBitmapFrameDecode* frame, DecodedImage& image) {
    UINT width = 0;
    UINT height = 0;
    WICPixelFormatGUID format{};
    if (FAILED(frame->GetSize(&width, &height)) || FAILED(frame->GetPixelFormat(&format)))
        return false;
    const int components = componentsOf(format);
    if (components == 0 || width == 0 || height == 0)
        return false;

    const UINT stride = width * static_cast<UINT>(components);
    std::vector<std::uint8_t> topRowFirst(static_cast<std::size_t>(stride) * height);
    if (FAILED(frame->CopyPixels(nullptr, stride, static_cast<UINT>(topRowFirst.size()), topRowFirst.data())))
        return false;

    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rowBytes = image.width * 3;
    image.pixels.resize(static_cast<std::size_t>(image.rowBytes) * image.height);
    for (UINT y = 0; y < height; ++y) {
        const std::uint8_t* source = &topRowFirst[static_cast<std::size_t>(y) * stride];
        std::uint8_t* target = &image.pixels[static_cast<std::size_t>(height - 1 - y) * image.rowBytes];
        for (UINT x = 0; x < width; ++x, source += components, target += 3) {
            if (components == 3) {
                // WIC's order is blue, green, red.
                target[0] = source[2];
                target[1] = source[1];
                target[2] = source[0];
            } else {
                target[0] = target[1] = target[2] = source[0];
            }
        }
    }
    return true;
}

} // namespace

bool decodeJpeg(std::span<const std::uint8_t> file, DecodedImage& image) {
    image = {};
    // WIC is given only what it can finish: under Wine it writes past its buffer for a header promising a
    // huge picture, so the size is checked here first, as is what libjpeg would refuse before decoding.
    JpegHeader header;
    if (!readJpegHeader(file, header) || (header.components != 1 && header.components != 3))
        return false;
    if (header.width == 0 || header.height == 0 ||
        static_cast<unsigned long long>(header.width) * header.height > maxJpegPixels ||
        file.size() > MAXDWORD)
        return false;
    // WIC decodes in one call that cannot be interrupted, so the scans and a stop are judged before it. A
    // start of scan is the pair FF DA: inside coded data FF is only ever followed by 00 or a restart marker.
    int scans = 0;
    for (std::size_t i = 0; i + 1 < file.size(); ++i)
        scans += file[i] == 0xFF && file[i + 1] == 0xDA;
    if (scans > maxJpegScans || loadStopRequested())
        return false;
    // A cut-off file ends as the libjpeg decoder ends it: with an end-of-image marker after its last byte, so
    // the missing part decodes grey. Where a restart marker is due instead, the libjpeg decoder fails (it
    // never searches for a lost one), and so does this one.
    std::vector<std::uint8_t> ended;
    if (!header.ended) {
        if (header.restartMarkers)
            return false;
        ended.reserve(file.size() + 2);
        ended.assign(file.begin(), file.end());
        ended.push_back(0xFF);
        ended.push_back(0xD9);
        file = ended;
    }

    const ComOnThisThread com;
    if (!com.ready())
        return false;

    // The references are released in the reverse order of their making, before COM is left.
    ComReference<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.receive()))))
        return false;
    ComReference<IWICStream> stream;
    ComReference<IWICBitmapDecoder> decoder;
    ComReference<IWICBitmapFrameDecode> frame;
    const bool decoded =
        openJpegFrame(factory.get(), file, stream.receive(), decoder.receive(), frame.receive()) &&
        readPicture(frame.get(), image);
    if (!decoded)
        image = {};
    return decoded;
}
