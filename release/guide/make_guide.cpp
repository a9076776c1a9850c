// Writes one language's guide: a self-contained HTML page made from the language's template, with
// the style sheet, the pictures and the plug-in's own texts put in.
//
// Usage: vb_make_guide --template FILE --style FILE --language CODE --figures DIR
//                      --version VERSION --output FILE
// DIR holds the pictures drawn in the guide's language (tools/build-release draws them once per
// language, `brisane --language CODE`).
//
// The template's placeholders:
//   @VERSION@                the release's version
//   @HEAD@                   what every page's head holds: its encoding, its width on small
//                            screens, and the style sheet
//   @FIGURE:NAME@            src, width and height of an <img> showing DIR/NAME.svg (a data URI)
//   @TEXT:ID@                text ID of the string table, HTML-escaped
//   @BOX:ID@                 the message box that shows text ID, as the plug-in shows it: its
//                            caption, icon and buttons from the box table (resources/boxes.def),
//                            the buttons labelled as Windows labels them in the language
// Texts come from the plug-in's string tables (resources/strings*.def, compiled in), as the plug-in
// shows them to a user of the language: an id its table lacks, or a language without a table,
// reads in English, as the plug-in falls back. Exit 0 on success; 1 with one line on standard
// error otherwise.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/xml_text.h"

#include "release/guide/guide_texts.h"
#include "resources/boxes.h"

namespace {

namespace fs = std::filesystem;

struct GuideError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw GuideError("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Escaped(const std::string& text) {
    return support::XmlEscaped(text);
}

std::string Base64(const std::string& bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const auto n = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i]) << 16 |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                             static_cast<unsigned char>(bytes[i + 2]));
        for (int shift : {18, 12, 6, 0}) out.push_back(kDigits[(n >> shift) & 63]);
    }
    if (i < bytes.size()) {
        uint32_t n = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i]) << 16);
        if (i + 1 < bytes.size())
            n |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1]) << 8);
        out.push_back(kDigits[(n >> 18) & 63]);
        out.push_back(kDigits[(n >> 12) & 63]);
        out.push_back(i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=');
        out.push_back('=');
    }
    return out;
}

// A message box's buttons as Windows labels them in a language.
struct Buttons {
    const char* language;
    const char* ok;
    const char* yes;
    const char* no;
};
constexpr Buttons kButtons[] = {
    {"en", "OK", "Yes", "No"},
    {"de", "OK", "Ja", "Nein"},
    {"fr", "OK", "Oui", "Non"},
    {"ja", "OK", "はい(Y)", "いいえ(N)"},
};

// The labels of `language`; English ones for a language not listed.
const Buttons& ButtonsOf(const std::string& language) {
    for (const Buttons& buttons : kButtons) {
        if (language == buttons.language) return buttons;
    }
    return kButtons[0];
}

class Guide {
  public:
    Guide(std::string language, fs::path figures)
        : language_(std::move(language)), figures_(std::move(figures)) {
        if (!guide::HasTable(language_)) {
            std::cerr << "vb_make_guide: no string table for " << language_
                      << "; its guide quotes the English texts\n";
        }
    }

    // The template with every placeholder filled in.
    std::string Fill(const std::string& page, const std::map<std::string, std::string>& plain) {
        static const std::regex kPlaceholder("@([A-Z]+)(?::([^@\\n]*))?@");
        std::string out;
        auto last = page.cbegin();
        for (std::sregex_iterator it(page.begin(), page.end(), kPlaceholder), end; it != end;
             ++it) {
            const std::smatch& match = *it;
            out.append(last, match[0].first);
            last = match[0].second;
            const std::string name = match[1];
            const std::string argument = match[2];
            if (auto found = plain.find(name); found != plain.end() && !match[2].matched) {
                out += found->second;
            } else if (name == "TEXT") {
                out += Escaped(Text(argument));
            } else if (name == "FIGURE") {
                out += Figure(argument);
            } else if (name == "BOX") {
                out += Box(argument);
            } else {
                throw GuideError("unknown placeholder " + match[0].str());
            }
        }
        out.append(last, page.cend());
        return out;
    }

  private:
    std::string Text(const std::string& id) {
        size_t end = 0;
        unsigned long number = 0;
        try {
            number = std::stoul(id, &end);
        } catch (const std::exception&) {
        }
        if (id.empty() || end != id.size() || number > 0xFFFF) {
            throw GuideError("@TEXT:" + id + "@ names no id");
        }
        try {
            return guide::Text(language_, static_cast<uint32_t>(number));
        } catch (const std::out_of_range& error) {
            throw GuideError(error.what());
        }
    }

    std::string Figure(const std::string& name) {
        if (name.empty() || name.find_first_of("/\\.") != std::string::npos) {
            throw GuideError("@FIGURE:" + name + "@ is no figure name");
        }
        const std::string svg = ReadFile(figures_ / (name + ".svg"));
        static const std::regex kSize("^<svg[^>]*\\swidth=\"([0-9]+)\"[^>]*\\sheight=\"([0-9]+)\"");
        std::smatch size;
        if (!std::regex_search(svg, size, kSize)) {
            throw GuideError("figure " + name + ": no <svg> with a width and a height in pixels");
        }
        return "src=\"data:image/svg+xml;base64," + Base64(svg) + "\" width=\"" + size[1].str() +
               "\" height=\"" + size[2].str() + "\"";
    }

    // The box of message `id` as the box table gives it: its caption, icon and buttons.
    std::string Box(const std::string& id) {
        const res::Box* box = nullptr;
        for (const res::Box& candidate : res::kBoxes) {
            if (std::to_string(candidate.message) == id) box = &candidate;
        }
        if (box == nullptr) throw GuideError("@BOX:" + id + "@: no box shows message " + id);
        const Buttons& labels = ButtonsOf(language_);
        std::string icon;
        std::vector<std::string> buttons = {labels.ok};
        switch (box->kind) {
            case res::BoxKind::Error:
                icon = "error";
                break;
            case res::BoxKind::Info:
                icon = "info";
                break;
            case res::BoxKind::Warning:
                icon = "warning";
                break;
            case res::BoxKind::Question:
                buttons = {labels.yes, labels.no};
                break;
        }
        std::string out = "<div class=\"box\" id=\"box-" + id + "\">";
        out +=
            "<div class=\"box-caption\">" + Escaped(Text(std::to_string(box->caption))) + "</div>";
        out += "<div class=\"box-body\">";
        if (!icon.empty()) out += "<span class=\"box-icon box-icon-" + icon + "\"></span>";
        out += "<div class=\"box-text\">" + Escaped(Text(id)) + "</div></div>";
        out += "<div class=\"box-buttons\">";
        for (const std::string& label : buttons) {
            out += "<span class=\"box-button\">" + Escaped(label) + "</span>";
        }
        out += "</div></div>";
        return out;
    }

    std::string language_;
    fs::path figures_;
};

int Run(int argc, char** argv) {
    std::map<std::string, std::string> options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option.rfind("--", 0) != 0 || i + 1 >= argc) {
            throw GuideError(
                "usage: vb_make_guide --template FILE --style FILE --language CODE "
                "--figures DIR --version VERSION --output FILE");
        }
        options[option.substr(2)] = argv[++i];
    }
    for (const char* required : {"template", "style", "language", "figures", "version", "output"}) {
        if (!options.count(required))
            throw GuideError(std::string("--") + required + " is missing");
    }
    Guide guide(options["language"], options["figures"]);
    const std::string page =
        guide.Fill(ReadFile(options["template"]),
                   {{"VERSION", Escaped(options["version"])},
                    {"HEAD",
                     "<meta charset=\"utf-8\" />\n"
                     "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />\n"
                     "<style>\n" +
                         ReadFile(options["style"]) + "</style>"}});

    const fs::path output = options["output"];
    const fs::path temporary = output.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::binary);
        out << page;
        if (!out.flush()) throw GuideError("cannot write " + temporary.string());
    }
    fs::rename(temporary, output);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "vb_make_guide: " << error.what() << "\n";
        return 1;
    }
}
