// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <windows.h>

#include <algorithm>

#include "FileOpener.h"
#include "GameError.h"
#include "SystemFiles.h"
#include "Win32Text.h"

namespace vornak {

namespace {

class HandleReader : public FileReader {
  public:
    HandleReader(HANDLE handle, std::filesystem::path file)
        : handle_(handle), file_(std::move(file)) {}
    ~HandleReader() override { ::CloseHandle(handle_); }
    HandleReader(const HandleReader&) = delete;
    HandleReader& operator=(const HandleReader&) = delete;

    // A disk file reads short only at its end, so the read that would return nothing is
    // spared: each call costs a trip to Wine's server, and the game reads 300 pictures.
    std::size_t Read(char* buffer, std::size_t size) override {
        if (ended_) {
            return 0;
        }
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1U << 30U));
        if (::ReadFile(handle_, buffer, wanted, &got, nullptr) == 0) {
            throw GameError(file_, "cannot be read: " + SystemErrorText(::GetLastError()));
        }
        ended_ = got < wanted;
        return got;
    }

  private:
    HANDLE handle_;
    std::filesystem::path file_;
    bool ended_ = false;
};

FileKind KindOf(HANDLE handle) {
    switch (::GetFileType(handle)) {
        case FILE_TYPE_DISK:
            return FileKind::PlainFile;
        case FILE_TYPE_PIPE:
            return FileKind::Pipe;
        case FILE_TYPE_CHAR:
            return FileKind::Device;
        default:
            return FileKind::Other;
    }
}

// Windows' own kind of file is decided on the open handle; a Unix pipe or device reached
// through Wine shows up here as a pipe or a character device as well.
class Win32FileOpener : public FileOpener {
  public:
    OpenedFile Open(const std::filesystem::path& file) override {
        OpenedFile opened;
        // Windows would take the name only up to the NUL: some other file.
        if (file.native().find(L'\0') != std::wstring::npos) {
            opened.kind = FileKind::Other;
            opened.detail = "the name holds a NUL byte";
            return opened;
        }
        // Without backup semantics a folder does not open at all, so a disk file that opens is
        // a plain file; only a refused open asks whether a folder stands there.
        const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
            const DWORD attributes = ::GetFileAttributesW(file.c_str());
            const bool folder = attributes != INVALID_FILE_ATTRIBUTES &&
                                (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            opened.kind = folder ? FileKind::Folder : missing ? FileKind::Missing : FileKind::Other;
            opened.detail = SystemErrorText(error);
            return opened;
        }
        opened.kind = KindOf(handle);
        if (opened.kind != FileKind::PlainFile) {
            ::CloseHandle(handle);
            return opened;
        }
        opened.reader = std::make_unique<HandleReader>(handle, file);
        return opened;
    }

    // CREATE_NEW refuses whatever already stands at the path, so nothing is ever truncated.
    void CreateEmpty(const std::filesystem::path& file) override {
        const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            throw GameError(
                file, "is missing and cannot be created: " + SystemErrorText(::GetLastError()));
        }
        ::CloseHandle(handle);
    }
};

}  // namespace

FileOpener& SystemFiles() {
    static Win32FileOpener files;
    return files;
}

}  // namespace vornak
