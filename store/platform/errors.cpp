#include "errors.h"

#include <cerrno>

#ifdef _WIN32
#include "wide.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace store::platform {

namespace {

// The texts, one per kind of failure an operator can meet or act upon.
const char* const kNotFound = "No existe el archivo o la carpeta.";
const char* const kNoDrive = "No existe la unidad de disco.";
const char* const kNotReady = "La unidad no está lista: no hay disco en ella.";
const char* const kDenied = "No tiene permiso para usar el archivo o la carpeta.";
const char* const kReadOnly = "El disco está protegido contra escritura (solo lectura).";
const char* const kFull = "El disco está lleno.";
const char* const kQuota = "Se acabó el espacio en disco que le corresponde.";
const char* const kTooBig = "El archivo es demasiado grande para el disco.";
const char* const kInUse = "El archivo está en uso por otro programa.";
const char* const kExists = "Ya existe un archivo con ese nombre.";
const char* const kIsDirectory = "Es una carpeta, no un archivo.";
const char* const kNotDirectory = "Una parte de la ruta no es una carpeta.";
const char* const kNotEmpty = "La carpeta no está vacía.";
const char* const kBadName = "El nombre del archivo o de la carpeta no es válido.";
const char* const kLongName = "El nombre del archivo es demasiado largo.";
const char* const kOtherDisk = "No se puede mover el archivo a otro disco.";
const char* const kDevice = "Error de lectura o escritura en el disco.";
const char* const kTooManyFiles = "Hay demasiados archivos abiertos.";
const char* const kMemory = "No hay memoria suficiente.";
const char* const kNetwork = "No se puede llegar a la unidad de red.";

std::string other(int code) { return "Error del sistema operativo número " + std::to_string(code) + "."; }

std::string errnoText(int code) {
    switch (static_cast<std::errc>(code)) {
    case std::errc::no_such_file_or_directory: return kNotFound;
    case std::errc::no_such_device:
    case std::errc::no_such_device_or_address: return kNotReady;
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted: return kDenied;
    case std::errc::read_only_file_system: return kReadOnly;
    case std::errc::no_space_on_device: return kFull;
    case std::errc::file_too_large: return kTooBig;
    case std::errc::device_or_resource_busy:
    case std::errc::text_file_busy:
    case std::errc::resource_unavailable_try_again:
    case std::errc::no_lock_available: return kInUse;
    case std::errc::file_exists: return kExists;
    case std::errc::is_a_directory: return kIsDirectory;
    case std::errc::not_a_directory: return kNotDirectory;
    case std::errc::directory_not_empty: return kNotEmpty;
    case std::errc::invalid_argument:
    case std::errc::illegal_byte_sequence: return kBadName;
    case std::errc::filename_too_long: return kLongName;
    case std::errc::cross_device_link: return kOtherDisk;
    case std::errc::io_error: return kDevice;
    case std::errc::too_many_files_open:
    case std::errc::too_many_files_open_in_system: return kTooManyFiles;
    case std::errc::not_enough_memory: return kMemory;
    case std::errc::host_unreachable:
    case std::errc::network_unreachable:
    case std::errc::network_down:
    case std::errc::timed_out:
    case std::errc::connection_refused: return kNetwork;
    default: break;
    }
#ifdef EDQUOT
    if (code == EDQUOT)
        return kQuota;
#endif
#ifdef ESTALE
    if (code == ESTALE)
        return kNetwork;
#endif
    return other(code);
}

}  // namespace

std::string windowsErrorText(unsigned long code) {
    // The codes of winerror.h, by number, so that this compiles everywhere.
    switch (code) {
    case 2:                          // ERROR_FILE_NOT_FOUND
    case 3: return kNotFound;        // ERROR_PATH_NOT_FOUND
    case 15: return kNoDrive;        // ERROR_INVALID_DRIVE
    case 21: return kNotReady;       // ERROR_NOT_READY
    case 5:                          // ERROR_ACCESS_DENIED
    case 1920: return kDenied;       // ERROR_CANT_ACCESS_FILE
    case 19: return kReadOnly;       // ERROR_WRITE_PROTECT
    case 39:                         // ERROR_HANDLE_DISK_FULL
    case 112: return kFull;          // ERROR_DISK_FULL
    case 1295: return kQuota;        // ERROR_DISK_QUOTA_EXCEEDED
    case 223: return kTooBig;        // ERROR_FILE_TOO_LARGE
    case 32:                         // ERROR_SHARING_VIOLATION
    case 33:                         // ERROR_LOCK_VIOLATION
    case 1224: return kInUse;        // ERROR_USER_MAPPED_FILE
    case 80:                         // ERROR_FILE_EXISTS
    case 183: return kExists;        // ERROR_ALREADY_EXISTS
    case 267: return kNotDirectory;  // ERROR_DIRECTORY
    case 145: return kNotEmpty;      // ERROR_DIR_NOT_EMPTY
    case 123:                        // ERROR_INVALID_NAME
    case 161: return kBadName;       // ERROR_BAD_PATHNAME
    case 206: return kLongName;      // ERROR_FILENAME_EXCED_RANGE
    case 17: return kOtherDisk;      // ERROR_NOT_SAME_DEVICE
    case 23:                         // ERROR_CRC
    case 25:                         // ERROR_SEEK
    case 27:                         // ERROR_SECTOR_NOT_FOUND
    case 29:                         // ERROR_WRITE_FAULT
    case 30:                         // ERROR_READ_FAULT
    case 31:                         // ERROR_GEN_FAILURE
    case 1117: return kDevice;       // ERROR_IO_DEVICE
    case 4: return kTooManyFiles;    // ERROR_TOO_MANY_OPEN_FILES
    case 8:                          // ERROR_NOT_ENOUGH_MEMORY
    case 14: return kMemory;         // ERROR_OUTOFMEMORY
    case 51:                         // ERROR_REM_NOT_LIST
    case 53:                         // ERROR_BAD_NETPATH
    case 59:                         // ERROR_UNEXP_NET_ERR
    case 64:                         // ERROR_NETNAME_DELETED
    case 67: return kNetwork;        // ERROR_BAD_NET_NAME
    default: return other(static_cast<int>(code));
    }
}

std::string errorText(const std::error_code& ec) {
    if (!ec)
        return {};
#ifdef _WIN32
    // Windows calls report through the system category; the C runtime and
    // std::filesystem may report errno values through the generic one.
    if (ec.category() == std::system_category())
        return windowsErrorText(static_cast<unsigned long>(ec.value()));
#else
    if (ec.category() == std::system_category())
        return errnoText(ec.value());
#endif
    if (ec.category() == std::generic_category())
        return errnoText(ec.value());
    // Another category (a stream's): the condition it maps to, if generic.
    const std::error_condition condition = ec.default_error_condition();
    if (condition.category() == std::generic_category())
        return errnoText(condition.value());
    return other(ec.value());
}

std::string errorText(const std::exception& e) {
    if (const auto* se = dynamic_cast<const std::system_error*>(&e))
        return errorText(se->code());
    return e.what();
}

std::string readFile(const std::filesystem::path& file, std::error_code& ec) {
    ec.clear();
    std::string bytes;
#ifdef _WIN32
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ec.assign(static_cast<int>(GetLastError()), std::system_category());
        return {};
    }
    char buf[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) {
            ec.assign(static_cast<int>(GetLastError()), std::system_category());
            bytes.clear();
            break;
        }
        if (got == 0)
            break;
        bytes.append(buf, got);
    }
    CloseHandle(h);
#else
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ec.assign(errno, std::generic_category());
        return {};
    }
    char buf[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ec.assign(errno, std::generic_category());
            bytes.clear();
            break;
        }
        if (got == 0)
            break;
        bytes.append(buf, static_cast<std::size_t>(got));
    }
    ::close(fd);
#endif
    return bytes;
}

}  // namespace store::platform
