#include "cli/GameReport.h"

#include <cstdint>

namespace cli {

namespace {

// The length of the well-formed UTF-8 sequence at text[i], or 0.
size_t utf8Length(const std::string& text, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    size_t length = 0;
    std::uint32_t low = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        low = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    std::uint32_t code = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(i + k) & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF are no
    // characters.
    if (code < low || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

class JsonWriter {
public:
    void open(char bracket)
    {
        separate();
        text_ += bracket;
        first_ = true;
        ++depth_;
    }
    void close(char bracket)
    {
        --depth_;
        if (!first_)
            newline();
        text_ += bracket;
        first_ = false;
    }
    void key(const std::string& name)
    {
        separate();
        text_ += jsonString(name) + ": ";
        keyed_ = true;
    }
    void value(const std::string& raw)
    {
        separate();
        text_ += raw;
    }
    void string(const std::string& s) { value(jsonString(s)); }
    void number(long long n) { value(std::to_string(n)); }
    void boolean(bool b) { value(b ? "true" : "false"); }
    void null() { value("null"); }

    std::string text() const { return text_ + "\n"; }

private:
    void newline()
    {
        text_ += '\n';
        text_.append(size_t(depth_) * 2, ' ');
    }
    // A comma and a line break before all but the first item of a list; a
    // value right after its key stays on the key's line.
    void separate()
    {
        if (keyed_) {
            keyed_ = false;
            return;
        }
        if (depth_ == 0)
            return;
        if (!first_)
            text_ += ',';
        newline();
        first_ = false;
    }

    std::string text_;
    int depth_ = 0;
    bool first_ = true;
    bool keyed_ = false;
};

std::string keyWord(int keyMode) { return keyMode == PIXWRIGHT_KEY_OFF ? "none" : "auto"; }

void writeSettings(JsonWriter& json, const PixwrightKindSettings& settings)
{
    json.open('{');
    json.key("grid_mode");
    json.string(gridModeWord(settings.gridMode));
    json.key("editor_preset");
    json.boolean(settings.editorPreset != 0);
    json.key("grid");
    if (settings.gridWidth > 0 || settings.gridHeight > 0)
        json.string(std::to_string(settings.gridWidth) + "x" + std::to_string(settings.gridHeight));
    else
        json.null();
    json.key("alpha_grid");
    json.boolean(settings.eraseAlphaGrid != 0);
    json.key("key");
    json.string(keyWord(settings.keyMode));
    json.close('}');
}

} // namespace

std::string jsonString(const std::string& text)
{
    static const char digits[] = "0123456789abcdef";
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<std::uint8_t>(text[i]);
        if (c >= 0x80) {
            const size_t length = utf8Length(text, i);
            if (length == 0) {
                out += "\\ufffd";
                ++i;
            } else {
                out.append(text, i, length);
                i += length;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F)
                out += std::string("\\u00") + digits[c >> 4] + digits[c & 0xF];
            else
                out += static_cast<char>(c);
        }
        ++i;
    }
    return out + "\"";
}

std::string gameReport(const Options& options, const std::string& gameFolder, const std::string& outputFolder,
                       const std::vector<ReportEntry>& entries)
{
    size_t converted = 0, failed = 0, skipped = 0;
    for (const ReportEntry& e : entries) {
        if (!e.entry->isPicture())
            ++skipped;
        else if (e.clash.empty() && e.result.code == PIXWRIGHT_RESULT_SUCCESS)
            ++converted;
        else
            ++failed;
    }
    const Job job = kindJob(options, PixwrightKindSettings{});
    JsonWriter json;
    json.open('{');
    json.key("game");
    json.string(gameFolder);
    json.key("output");
    json.string(outputFolder);
    json.key("options");
    json.open('{');
    json.key("interpolation");
    json.string(interpolationWord(options.interpolation));
    json.key("sharpen");
    json.number(options.sharpen);
    json.key("alpha_grid");
    if (options.alphaGrid)
        json.boolean(*options.alphaGrid);
    else
        json.string("by kind");
    json.key("format");
    json.string(formatWord(options.format));
    json.key("outputs");
    json.open('[');
    const std::pair<bool, const char*> variants[] = {
        {job.saveNatural, "natural"}, {job.saveColor, "color"}, {job.saveAlpha, "alpha"}};
    for (const auto& variant : variants)
        if (variant.first)
            json.string(variant.second);
    json.close(']');
    json.close('}');
    json.key("converted");
    json.number(static_cast<long long>(converted));
    json.key("failed");
    json.number(static_cast<long long>(failed));
    json.key("skipped");
    json.number(static_cast<long long>(skipped));
    json.key("files");
    json.open('[');
    for (const ReportEntry& e : entries) {
        const game::GameEntry& entry = *e.entry;
        json.open('{');
        json.key("path");
        json.string(entry.relativePath);
        json.key("folder");
        if (entry.folder.empty())
            json.null();
        else
            json.string(entry.folder);
        json.key("kind");
        if (const char* kind = entry.folder.empty() ? nullptr : kindFolderName(entry.kind))
            json.string(kind);
        else
            json.null();
        if (!entry.isPicture()) {
            json.key("status");
            json.string("skipped");
            json.key("reason");
            json.string(game::skipText(entry.skip));
            json.close('}');
            continue;
        }
        json.key("format");
        json.string(entry.format.name);
        json.key("width");
        json.number(entry.width);
        json.key("height");
        json.number(entry.height);
        json.key("settings");
        writeSettings(json, e.settings);
        const bool ok = e.clash.empty() && e.result.code == PIXWRIGHT_RESULT_SUCCESS;
        json.key("status");
        json.string(ok ? "converted" : "failed");
        if (!e.clash.empty()) {
            json.key("code");
            json.null();
            json.key("reason");
            json.string(e.clash);
        } else if (!ok) {
            json.key("code");
            json.number(e.result.code);
            json.key("reason");
            std::string reason;
            for (const std::string& message : e.result.messages)
                reason += (reason.empty() ? "" : "\n") + message;
            json.string(reason);
            // The engine's message says what failed; the decoder or the
            // system says why ("damaged PNG data", "Permission denied").
            json.key("detail");
            if (e.result.failure && e.result.failure->reason[0] != '\0')
                json.string(e.result.failure->reason);
            else
                json.null();
        }
        json.key("written");
        json.open('[');
        for (const std::string& file : e.written)
            json.string(file);
        json.close(']');
        json.close('}');
    }
    json.close(']');
    json.close('}');
    return json.text();
}

} // namespace cli
