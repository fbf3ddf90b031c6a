#include "png_file.h"

#include "replacement_file.h"

#include <cstdio>
#include <vector>

#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

namespace win32chart {
namespace {

// COM for this thread, for as long as it is needed; a thread that has it
// already keeps it.
class ComForThisThread {
public:
    ComForThisThread() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComForThisThread() {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    ComForThisThread(const ComForThisThread&) = delete;
    ComForThisThread& operator=(const ComForThisThread&) = delete;

private:
    HRESULT result_;
};

template <class Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() {
        if (p_)
            p_->Release();
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    Interface* operator->() const { return p_; }
    Interface* get() const { return p_; }
    Interface** out() { return &p_; }

private:
    Interface* p_ = nullptr;
};

// A failure in Windows' words where it is a Windows error code, else with
// the encoder's own code.
void check(HRESULT result, const std::string& path) {
    if (SUCCEEDED(result))
        return;
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        throw text::Error::system(HRESULT_CODE(result), path);
    if (result == E_OUTOFMEMORY)
        throw text::Error::system(ERROR_NOT_ENOUGH_MEMORY, path);
    char code[16];
    std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
    throw text::Error(text::MessageId::ChartPngEncoder, text::kEncoderError, path, {code});
}

} // namespace

std::string encodePng(const std::uint8_t* pixels, int width, int height, int stride, const std::string& path) {
    const ComForThisThread com;
    ComPointer<IWICImagingFactory> factory;
    check(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                             reinterpret_cast<void**>(factory.out())),
          path);
    ComPointer<IStream> stream;
    check(::CreateStreamOnHGlobal(nullptr, TRUE, stream.out()), path);
    ComPointer<IWICBitmapEncoder> encoder;
    check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out()), path);
    check(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache), path);
    ComPointer<IWICBitmapFrameEncode> frame;
    check(encoder->CreateNewFrame(frame.out(), nullptr), path);
    check(frame->Initialize(nullptr), path);
    check(frame->SetSize(UINT(width), UINT(height)), path);
    // Three bytes a pixel, the format every PNG encoder takes as it is.
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    check(frame->SetPixelFormat(&format), path);
    if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        check(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT, path);
    const UINT rowBytes = UINT(width) * 3;
    std::vector<BYTE> row(rowBytes);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = pixels + std::size_t(y) * std::size_t(stride);
        for (int x = 0; x < width; ++x) {
            row[std::size_t(x) * 3] = from[x * 4];
            row[std::size_t(x) * 3 + 1] = from[x * 4 + 1];
            row[std::size_t(x) * 3 + 2] = from[x * 4 + 2];
        }
        check(frame->WritePixels(1, rowBytes, rowBytes, row.data()), path);
    }
    check(frame->Commit(), path);
    check(encoder->Commit(), path);

    HGLOBAL memory = nullptr;
    check(::GetHGlobalFromStream(stream.get(), &memory), path);
    STATSTG status{};
    check(stream->Stat(&status, STATFLAG_NONAME), path);
    const auto* bytes = static_cast<const char*>(::GlobalLock(memory));
    if (!bytes)
        throw text::Error::system(int(::GetLastError()), path);
    std::string png(bytes, std::size_t(status.cbSize.QuadPart));
    ::GlobalUnlock(memory);
    return png;
}

std::optional<text::Error> savePng(const std::uint8_t* pixels, int width, int height, int stride,
                                   const std::string& path) {
    std::string png;
    try {
        png = encodePng(pixels, width, height, stride, path);
    } catch (const text::Error& error) {
        return error;
    }
    logfile::ReplacementFile file(path);
    if (file.write(png))
        file.commit();
    return file.error();
}

} // namespace win32chart
