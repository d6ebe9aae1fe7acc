// fileprinter: gives the Wine prefix it runs in a default PostScript printer
// whose finished jobs Wine's spooler copies to a file of the build machine,
// with no dialog, so that printing can be checked where no printer system
// is. scripts/lib/wine-env.sh runs it when it makes the test prefix.
// Single-threaded.
//
//   fileprinter.exe UNIX_PATH
//
// The printer uses Wine's PostScript driver with the generic printer
// description that Wine's spooler carries, on port LPT1:, which Wine's
// spooler maps to UNIX_PATH (each job replaces the file). Exits 0 once the
// printer is there and is the default, else 1 with a line on standard error.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>

namespace {

constexpr wchar_t kPrinter[] = L"Tracewick Test Printer";
constexpr wchar_t kDriver[] = L"Tracewick Test PostScript";
constexpr wchar_t kPort[] = L"LPT1:";

bool Fail(const char* what) {
    std::fprintf(stderr, "fileprinter: %s (error %lu)\n", what, GetLastError());
    return false;
}

// The printer description as a file of its own, where the driver's
// installation copies it from.
bool WriteDescription(const std::wstring& path) {
    const HMODULE spooler = LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HRSRC found = spooler ? FindResourceW(spooler, MAKEINTRESOURCEW(1), L"PPDFILE") : nullptr;
    const HGLOBAL loaded = found ? LoadResource(spooler, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return Fail("no printer description in winspool.drv");
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const DWORD size = SizeofResource(spooler, found);
    const bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, bytes, size, &written, nullptr) && written == size;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return ok || Fail("cannot write the printer description");
}

bool AddDriver() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring description = std::wstring(temp) + L"tracewick-test.ppd";
    if (!WriteDescription(description)) return false;
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<wchar_t*>(kDriver);
    driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDataFile = const_cast<wchar_t*>(description.c_str());
    driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
    const bool added = AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver),
                                           APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY) ||
                       GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
    DeleteFileW(description.c_str());
    return added || Fail("cannot add the PostScript driver");
}

bool AddPrinter() {
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = const_cast<wchar_t*>(kPrinter);
    printer.pPortName = const_cast<wchar_t*>(kPort);
    printer.pDriverName = const_cast<wchar_t*>(kDriver);
    printer.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    printer.pDatatype = const_cast<wchar_t*>(L"RAW");
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    const HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (added) ClosePrinter(added);
    return added || GetLastError() == ERROR_PRINTER_ALREADY_EXISTS || Fail("cannot add the printer");
}

// Where the spooler copies a job printed on the port: a Unix path.
bool MapPort(const std::wstring& unix_path) {
    const auto size = static_cast<DWORD>((unix_path.size() + 1) * sizeof(wchar_t));
    const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Printing\\Spooler", kPort, REG_SZ,
                                           unix_path.c_str(), size);
    return status == ERROR_SUCCESS || (SetLastError(static_cast<DWORD>(status)), Fail("cannot map the port"));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 || argv[1][0] != L'/') {
        std::fprintf(stderr, "usage: fileprinter.exe UNIX_PATH\n");
        return 2;
    }
    const bool ok = MapPort(argv[1]) && AddDriver() && AddPrinter() &&
                    (SetDefaultPrinterW(kPrinter) || Fail("cannot make the printer the default"));
    return ok ? 0 : 1;
}
