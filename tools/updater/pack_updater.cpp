// Build step: packs the updater executable as the one entry of the archive the designer carries.
//
// Usage: pack_updater <executable> <archive.zip> <entry name>
#include <minizip/zip.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fputs("usage: pack_updater <executable> <archive.zip> <entry name>\n", stderr);
        return 2;
    }
    std::ifstream input(argv[1], std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(input)),
                                  std::istreambuf_iterator<char>());
    if (!input.good() && !input.eof()) {
        std::fprintf(stderr, "pack_updater: cannot read %s\n", argv[1]);
        return 1;
    }

    zipFile zip = zipOpen64(argv[2], APPEND_STATUS_CREATE);
    if (!zip) {
        std::fprintf(stderr, "pack_updater: cannot create %s\n", argv[2]);
        return 1;
    }
    // A fixed date keeps the archive identical between builds of the same updater.
    zip_fileinfo info{};
    info.tmz_date.tm_year = 2021;
    info.tmz_date.tm_mday = 1;
    // Unix mode rwxr-xr-x, so that unpacking marks the updater executable.
    info.external_fa = 0100755UL << 16;
    constexpr uLong kMadeByUnix = (3UL << 8) | 20;
    bool ok = zipOpenNewFileInZip4_64(zip, argv[3], &info, nullptr, 0, nullptr, 0, nullptr,
                                      Z_DEFLATED, 9, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                      Z_DEFAULT_STRATEGY, nullptr, 0, kMadeByUnix, 0, 0)
              == ZIP_OK;
    ok = ok && zipWriteInFileInZip(zip, bytes.data(), unsigned(bytes.size())) == ZIP_OK;
    ok = zipCloseFileInZip(zip) == ZIP_OK && ok;
    ok = zipClose(zip, nullptr) == ZIP_OK && ok;
    if (!ok) {
        std::fprintf(stderr, "pack_updater: writing %s failed\n", argv[2]);
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
