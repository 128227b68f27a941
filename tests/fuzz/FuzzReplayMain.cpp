// Linked into each fuzz target where libFuzzer is not (the GCC builds): runs
// the target once over every file of the folders or files it is given, as
// libFuzzer does with a corpus, and fails when a run left anything in the
// working directory: logs and store files belong in the target's data folder.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputs(const fs::path& given)
{
    std::vector<fs::path> files;
    if (fs::is_directory(given)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(given))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
    } else {
        files.push_back(given);
    }
    return files;
}

bool replay(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << file << std::endl;
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const bool emptyBefore = fs::is_empty(fs::current_path());
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        if (!fs::exists(argv[i])) {
            std::cerr << "no corpus at " << argv[i] << std::endl;
            return 1;
        }
        for (const fs::path& file : inputs(argv[i])) {
            if (!replay(file))
                return 1;
            ++count;
        }
    }
    if (count == 0) {
        std::cerr << "no input replayed" << std::endl;
        return 1;
    }
    if (emptyBefore && !fs::is_empty(fs::current_path())) {
        std::cerr << "the target left files in its working directory " << fs::current_path() << std::endl;
        return 1;
    }
    std::cout << count << " inputs replayed" << std::endl;
    return 0;
}
