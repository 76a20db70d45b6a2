// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// Pictures decoded by Windows Imaging Component, Windows' own BMP and GIF decoders.
#include <objbase.h>
#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include <algorithm>

#include "FileOpener.h"
#include "GameError.h"
#include "Picture.h"
#include "SystemFiles.h"
#include "Win32Text.h"

namespace vornak {

namespace {

using Microsoft::WRL::ComPtr;

[[noreturn]] void Refuse(const std::filesystem::path& file, PictureFormat format, HRESULT result) {
    throw GameError(file, std::string("cannot be read as a ") +
                              (format == PictureFormat::Bmp ? "BMP" : "GIF") +
                              " picture: " + SystemErrorText(static_cast<unsigned long>(result)));
}

IWICImagingFactory& Factory() {
    static ComPtr<IWICImagingFactory> factory = [] {
        // The game's one thread; the COM apartment lives as long as the process.
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ComPtr<IWICImagingFactory> made;
        const HRESULT result = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                                  CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&made));
        if (FAILED(result)) {
            throw GameError(
                "Windows Imaging Component",
                "is not available: " + SystemErrorText(static_cast<unsigned long>(result)));
        }
        return made;
    }();
    return *factory.Get();
}

// A GIF frame may cover only part of the GIF's logical screen; Qt, and so the Linux game, shows
// the whole screen with the frame in its place, and so does this.
struct GifPlacement {
    UINT screenWidth = 0;
    UINT screenHeight = 0;
    UINT left = 0;
    UINT top = 0;
};

UINT ReadNumber(IWICMetadataQueryReader* reader, const wchar_t* name) {
    PROPVARIANT value;
    ::PropVariantInit(&value);
    UINT number = 0;
    if (reader != nullptr && SUCCEEDED(reader->GetMetadataByName(name, &value)) &&
        value.vt == VT_UI2) {
        number = value.uiVal;
    }
    ::PropVariantClear(&value);
    return number;
}

GifPlacement PlaceGifFrame(IWICBitmapDecoder& decoder, IWICBitmapFrameDecode& frame) {
    ComPtr<IWICMetadataQueryReader> screen;
    ComPtr<IWICMetadataQueryReader> image;
    decoder.GetMetadataQueryReader(&screen);
    frame.GetMetadataQueryReader(&image);
    return {ReadNumber(screen.Get(), L"/logscrdesc/Width"),
            ReadNumber(screen.Get(), L"/logscrdesc/Height"),
            ReadNumber(image.Get(), L"/imgdesc/Left"), ReadNumber(image.Get(), L"/imgdesc/Top")};
}

Picture OnLogicalScreen(Picture frame, const GifPlacement& place) {
    const UINT width = std::max<UINT>(place.screenWidth, place.left + frame.width);
    const UINT height = std::max<UINT>(place.screenHeight, place.top + frame.height);
    if ((width == static_cast<UINT>(frame.width) && height == static_cast<UINT>(frame.height)) ||
        width > LargestPictureSide || height > LargestPictureSide) {
        return frame;
    }
    Picture screen;
    screen.width = static_cast<int>(width);
    screen.height = static_cast<int>(height);
    screen.opaque = false;
    screen.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            screen.pixels[(place.top + static_cast<UINT>(y)) * width + place.left +
                          static_cast<UINT>(x)] = frame.At(x, y);
        }
    }
    return screen;
}

// Asking the factory for a decoder by its container looks the codec up in the registry, which
// under Wine costs most of a tile's decoding; the codec's class factory is looked up once, and
// every picture still gets a decoder of its own.
IWICBitmapDecoder* NewDecoder(PictureFormat format, HRESULT& result) {
    static ComPtr<IClassFactory> bmp;
    static ComPtr<IClassFactory> gif;
    ComPtr<IClassFactory>& codec = format == PictureFormat::Bmp ? bmp : gif;
    if (!codec) {
        result = ::CoGetClassObject(
            format == PictureFormat::Bmp ? CLSID_WICBmpDecoder : CLSID_WICGifDecoder,
            CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&codec));
        if (FAILED(result)) {
            return nullptr;
        }
    }
    IWICBitmapDecoder* decoder = nullptr;
    result = codec->CreateInstance(nullptr, IID_PPV_ARGS(&decoder));
    return decoder;
}

}  // namespace

Picture DecodePicture(const std::filesystem::path& file, PictureFormat format) {
    return DecodePicture(SystemFiles(), file, format);
}

Picture DecodePicture(FileOpener& files, const std::filesystem::path& file, PictureFormat format) {
    std::string bytes = ReadWholeFile(files, file, LargestPictureFileBytes, "a picture");
    CheckPictureHeader(file, bytes, format);
    IWICImagingFactory& factory = Factory();
    ComPtr<IWICStream> stream;
    HRESULT result = factory.CreateStream(&stream);
    if (SUCCEEDED(result)) {
        result = stream->InitializeFromMemory(reinterpret_cast<BYTE*>(bytes.data()),
                                              static_cast<DWORD>(bytes.size()));
    }
    // The decoder is chosen by the container the picture's use names, never by the content.
    ComPtr<IWICBitmapDecoder> decoder;
    if (SUCCEEDED(result)) {
        decoder.Attach(NewDecoder(format, result));
    }
    if (SUCCEEDED(result)) {
        result = decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand);
    }
    ComPtr<IWICBitmapFrameDecode> frame;
    if (SUCCEEDED(result)) {
        result = decoder->GetFrame(0, &frame);
    }
    UINT width = 0;
    UINT height = 0;
    if (SUCCEEDED(result)) {
        result = frame->GetSize(&width, &height);
    }
    if (FAILED(result)) {
        Refuse(file, format, result);
    }
    if (width == 0 || height == 0 || width > LargestPictureSide || height > LargestPictureSide) {
        throw GameError(file, "claims a size of " + std::to_string(width) + " x " +
                                  std::to_string(height) + " pixels, too large for a picture");
    }
    ComPtr<IWICFormatConverter> converter;
    result = factory.CreateFormatConverter(&converter);
    if (SUCCEEDED(result)) {
        result = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                       WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom);
    }
    Picture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    if (SUCCEEDED(result)) {
        result =
            converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(picture.pixels.size() * 4),
                                  reinterpret_cast<BYTE*>(picture.pixels.data()));
    }
    if (FAILED(result)) {
        Refuse(file, format, result);
    }
    for (const std::uint32_t pixel : picture.pixels) {
        if ((pixel >> 24U) != 0xFF) {
            picture.opaque = false;
            break;
        }
    }
    if (format == PictureFormat::Gif) {
        return OnLogicalScreen(std::move(picture), PlaceGifFrame(*decoder.Get(), *frame.Get()));
    }
    return picture;
}

}  // namespace vornak
