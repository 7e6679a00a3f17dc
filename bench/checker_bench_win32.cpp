// The package checker on the real file calls (Windows, Wine) with the crafted
// IME image at 64 MiB: a package folder under the temporary folder
// with setup.log, the 64 MiB image and an MB file, checked in this process
// and timed with QueryPerformanceCounter. The folder is removed again.
//
//   checker_bench [repetitions]   (default 3)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "package_checker/checker.h"
#include "package_checker/crafted_image.h"
#include "platform/win32.h"
#include "wall_clock_win32.h"

namespace {

bool Write(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::atoi(argv[1]) : 3;
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "imecheck-bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string image = test_images::CraftedImage(64ULL << 20);
    if (!Write(folder + "\\setup.log", "[ImePram]\r\nImeFile=crafted.ime\r\nMbFile=crafted.mb\r\nImeName=x\r\n") ||
        !Write(folder + "\\crafted.ime", image) || !Write(folder + "\\crafted.mb", "code table")) {
        std::printf("cannot write the package in %s\n", folder.c_str());
        return 1;
    }
    int status = 0;
    std::printf("%-48s %12s %8s\n", "Benchmark", "Time", "Status");
    for (int i = 0; i < repetitions; ++i) {
        const double start = WallSeconds();
        const int checked = RunChecker("imecheck.exe \"" + folder + "\"", [](const std::string&) {});
        std::printf("%-48s %9.0f ms %8d\n", "checker, crafted 64 MiB IME image", (WallSeconds() - start) * 1000, checked);
        if (checked != 0) status = 1;
    }
    for (const char* name : {"setup.log", "crafted.ime", "crafted.mb"}) DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
    return status;
}
