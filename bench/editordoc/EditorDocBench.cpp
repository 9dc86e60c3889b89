// Opens and saves a configuration of 2 000 nodes through the editor's document, and
// loads and saves the same file with pugixml alone, in the same run. Prints the median
// of several rounds of each and the ratio.
//
//   editordoc_bench [nodes] [rounds]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include <pugixml.hpp>

#include "bench/common/Timing.h"
#include "editor/document/ConfigData.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/TessalyDoc.h"
#include "os/Paths.h"

namespace fs = std::filesystem;

namespace {

using bench::Median;
using bench::Ms;

// Milliseconds one call of `work` takes; exits when it fails.
double Time(const std::function<bool()>& work) {
    auto start = std::chrono::steady_clock::now();
    if (!work()) {
        std::fprintf(stderr, "a round failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    int nodes = argc > 1 ? std::atoi(argv[1]) : 2000;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    CErrorHandler::SetLogPath(fs::path());
    CConfigData::CreateInstance({});
    fs::path dir = fs::temp_directory_path() / ("ixo-editordoc-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path file = dir / "network.wov";

    // The configuration: every node type in turn.
    {
        CTessalyDoc doc(os::ProgramDir());
        if (!doc.OnNewDocument())
            return 1;
        const uint32_t types[] = {8581, 8450, 8452, 8456, 8704};
        for (int i = 0; i < nodes; ++i) {
            if (!doc.AddNodeOfType(types[i % 5]))
                return 1;
        }
        if (!doc.OnSaveDocument(file))
            return 1;
    }
    std::printf("configuration: %d nodes, %ju bytes\n", nodes,
                static_cast<uintmax_t>(fs::file_size(file)));

    // The four steps take turns in every round, so a busy machine slows them alike.
    CTessalyDoc doc(os::ProgramDir());
    pugi::xml_document plain;
    std::vector<double> editorOpen, editorSave, pugiLoad, pugiSave;
    for (int i = 0; i < rounds; ++i) {
        editorOpen.push_back(Time([&] { return doc.OnOpenDocument(file); }));
        pugiLoad.push_back(Time([&] {
            return static_cast<bool>(plain.load_file(file.c_str(), pugi::parse_default |
                                                                       pugi::parse_declaration |
                                                                       pugi::parse_comments));
        }));
        editorSave.push_back(Time([&] { return doc.OnSaveDocument(dir / "saved.wov"); }));
        pugiSave.push_back(
            Time([&] { return plain.save_file((dir / "plain.wov").c_str(), "  "); }));
    }
    double open = Median(editorOpen), load = Median(pugiLoad);
    double save = Median(editorSave), plainSave = Median(pugiSave);
    std::printf("open:  document %8.1f ms   pugixml load %8.1f ms   ratio %.2f\n", open, load,
                open / load);
    std::printf("save:  document %8.1f ms   pugixml save %8.1f ms   ratio %.2f\n", save, plainSave,
                save / plainSave);
    std::printf("both:  document %8.1f ms   pugixml      %8.1f ms   ratio %.2f\n", open + save,
                load + plainSave, (open + save) / (load + plainSave));
    fs::remove_all(dir);
    CErrorHandler::DeleteInstance();
    return 0;
}
