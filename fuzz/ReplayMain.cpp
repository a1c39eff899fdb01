// Stands in for libFuzzer where it is not built: runs the fuzzer's entry
// point once on each input file named on the command line, the way a
// libFuzzer target replays the files it is given. A failed check traps or
// aborts; each input's name is printed first, so the culprit shows.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s input...\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        std::fprintf(stderr, "%s\n", argv[i]);
        std::FILE* file = std::fopen(argv[i], "rb");
        if (!file) {
            std::perror(argv[i]);
            return 1;
        }
        std::vector<std::uint8_t> input;
        std::uint8_t buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, file))
            input.insert(input.end(), buffer, buffer + n);
        const bool failed = std::ferror(file);
        std::fclose(file);
        if (failed) {
            std::perror(argv[i]);
            return 1;
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::fprintf(stderr, "replayed %d inputs\n", argc - 1);
    return 0;
}
