// kernel32 file handles on POSIX descriptors: enough of CreateFileA, GetFileTime and
// CloseHandle for reading files and asking when they were last written.
#include <windows.h>

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <unordered_set>

#include "path_mapping.h"

namespace {

struct FileObject {
    int fd;
};

std::mutex filesMutex;
std::unordered_set<FileObject*>& LiveFiles() {
    static std::unordered_set<FileObject*> files;
    return files;
}

// Takes a handle out of the live set; null for anything this module did not hand out.
FileObject* FindFile(HANDLE handle) {
    std::lock_guard<std::mutex> lock(filesMutex);
    auto* file = static_cast<FileObject*>(handle);
    return LiveFiles().count(file) ? file : nullptr;
}

bool ParentExists(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return true;
    std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    struct stat info {};
    return stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

DWORD ErrorFromErrno(int error, const std::string& path) {
    switch (error) {
        case ENOENT: return ParentExists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP: return ERROR_PATH_NOT_FOUND;
        case EEXIST: return ERROR_FILE_EXISTS;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        default: return ERROR_ACCESS_DENIED;
    }
}

// 100-ns intervals since 1601-01-01, the FILETIME epoch.
FILETIME FileTimeFrom(const timespec& time) {
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
    int64_t seconds = static_cast<int64_t>(time.tv_sec) + kSecondsFrom1601To1970;
    uint64_t ticks = seconds < 0 ? 0 : static_cast<uint64_t>(seconds) * 10000000ULL + time.tv_nsec / 100;
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(ticks);
    result.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return result;
}

bool Earlier(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

}  // namespace

extern "C" {

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
    (void)dwShareMode;  // POSIX has no share modes; every open is shared
    (void)hTemplateFile;
    if (!lpFileName || !lpFileName[0]) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = quarvel::win32::HostPath(lpFileName);

    const bool read = (dwDesiredAccess & GENERIC_READ) != 0;
    const bool write = (dwDesiredAccess & GENERIC_WRITE) != 0;
    int flags = write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY;
    bool mayExist = false;  // dispositions that report ERROR_ALREADY_EXISTS on success
    switch (dwCreationDisposition) {
        case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
        case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; mayExist = true; break;
        case OPEN_EXISTING: break;
        case OPEN_ALWAYS: flags |= O_CREAT; mayExist = true; break;
        case TRUNCATE_EXISTING:
            if (!write) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return INVALID_HANDLE_VALUE;
            }
            flags |= O_TRUNC;
            break;
        default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
    }
    // Truncating needs write access here; Windows allows it on a read handle too.
    if ((flags & O_TRUNC) && !write) flags = (flags & ~O_ACCMODE) | O_RDWR;
    if (!(lpSecurityAttributes && lpSecurityAttributes->bInheritHandle)) flags |= O_CLOEXEC;

    struct stat before {};
    const bool existed = stat(path.c_str(), &before) == 0;
    if (existed && S_ISDIR(before.st_mode)) {
        // Directories open only for backup semantics, and then read-only.
        if (!(dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) || write) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        flags = O_RDONLY | O_DIRECTORY | (flags & O_CLOEXEC);
    }

    int fd = open(path.c_str(), flags, 0666);
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno, path));
        return INVALID_HANDLE_VALUE;
    }
    auto* file = new FileObject{fd};
    {
        std::lock_guard<std::mutex> lock(filesMutex);
        LiveFiles().insert(file);
    }
    SetLastError(mayExist && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return file;
}

BOOL WINAPI GetFileTime(HANDLE hFile, LPFILETIME lpCreationTime, LPFILETIME lpLastAccessTime,
                        LPFILETIME lpLastWriteTime) {
    FileObject* file = FindFile(hFile);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    struct stat info {};
    if (fstat(file->fd, &info) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (lpCreationTime) {
        // The birth time where the file system keeps one; otherwise the older of the
        // modification and status-change times is the best stand-in.
        timespec created = Earlier(info.st_mtim, info.st_ctim) ? info.st_mtim : info.st_ctim;
        struct statx extended {};
        if (statx(file->fd, "", AT_EMPTY_PATH, STATX_BTIME, &extended) == 0 && (extended.stx_mask & STATX_BTIME)) {
            created.tv_sec = extended.stx_btime.tv_sec;
            created.tv_nsec = extended.stx_btime.tv_nsec;
        }
        *lpCreationTime = FileTimeFrom(created);
    }
    if (lpLastAccessTime) *lpLastAccessTime = FileTimeFrom(info.st_atim);
    if (lpLastWriteTime) *lpLastWriteTime = FileTimeFrom(info.st_mtim);
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    FileObject* file = nullptr;
    {
        std::lock_guard<std::mutex> lock(filesMutex);
        auto* candidate = static_cast<FileObject*>(hObject);
        if (LiveFiles().erase(candidate)) file = candidate;
    }
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    close(file->fd);
    delete file;
    return TRUE;
}

}  // extern "C"
