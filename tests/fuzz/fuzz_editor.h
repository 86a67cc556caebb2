// What the editor's fuzz targets share: a fresh runner for every input, on the sample with the
// editor open, loaded as a host loads it; commands that fail are the input's business, an
// editor left inconsistent after one is a finding.
#pragma once

#include "runner.h"
#include "script.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

namespace kel::fuzz {

// The editor keeps one setting in the client profile: the runs keep theirs apart.
inline void KeepProfileApart() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "kelsb-fuzz-profile";
    setenv("KELSB_CONFIG_DIR", folder.c_str(), 1);
}

class FuzzEditor {
public:
    FuzzEditor() : m_runner(std::make_unique<script::Runner>(m_out)) {
        Run("sample");
        Run("open 1000 400");
    }

    script::Runner& Runner() { return *m_runner; }

    // Carries out one line; false when the command failed (a finding only if it aborts).
    bool Run(const std::string& text) {
        try {
            m_runner->Execute(script::ParseLine(text, ++m_line));
            m_out.str({});
            return true;
        } catch (const script::CommandError&) {
            return false;
        }
    }

    // The consistency check after a line; the storyboard may hold overlaps only if the input
    // built them with the runner's scene commands, which the targets do not offer.
    void Check(const std::string& after) {
        try {
            m_runner->Execute(script::ParseLine("check", ++m_line));
        } catch (const script::CommandError& e) {
            std::cerr << "after \"" << after << "\": " << e.what() << '\n';
            std::abort();
        }
    }

private:
    std::ostringstream m_out;
    std::unique_ptr<script::Runner> m_runner;
    int m_line = 0;
};

} // namespace kel::fuzz
