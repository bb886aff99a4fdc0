#include "cli_commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "cli_messages.h"
#include "cli_settings.h"
#include "comment_text.h"
#include "json_bytes.h"
#include "save_pipeline.h"

namespace tessane::cli {

namespace {

using nlohmann::json;

// Message texts may hold line breaks; an error report is one line.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

std::string MessageLine(int messageId) {
    return OneLine(MessageText(messageId));
}

void ReportFailure(const std::string& file, const std::string& text, const std::string& reason) {
    std::fflush(stdout); // keep the order of what came before
    std::string line = "tessane-cli: " + file + ": " + text;
    if (!reason.empty())
        line += " (" + reason + ")";
    std::fprintf(stderr, "%s\n", line.c_str());
}

// The host gives only a code; where the cause can be told, say it.
std::string OpenFailureReason(const std::string& file, int32_t code, bool byContent) {
    if (code == CPI_ERR_NOPLUGIN)
        return byContent ? "no plug-in recognises the contents"
                         : "no plug-in takes this file name's extension";
    if (code == CPI_ERR_FILEIO) {
        int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::strerror(errno);
        ::close(fd);
    }
    return {};
}

json FailureJson(const std::string& file, int32_t code, const std::string& message,
                 const std::string& reason) {
    json entry = json::object();
    PutBytes(entry, "file", file);
    entry["ok"] = false;
    entry["code"] = code;
    entry["message"] = message;
    if (!reason.empty())
        entry["reason"] = reason;
    return entry;
}

// Lines of a plug-in's text, which separates them with CR LF.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

void PrintShowText(const std::string& file, const std::string& info, const std::string& comment) {
    std::string out = file + ":\n";
    if (!info.empty()) {
        for (const std::string& line : SplitLines(info))
            out += "  " + line + "\n";
    }
    // The comment's lines line up under its first one.
    const std::string label = "  Comment    : ";
    const std::string text = CommentAsUtf8(comment).utf8;
    const std::vector<std::string> lines = text.empty() ? std::vector<std::string>{""} : SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string prefix = i == 0 ? label : std::string(label.size(), ' ');
        if (lines[i].empty())
            prefix.erase(prefix.find_last_not_of(' ') + 1); // no blanks at the end of a line
        out += prefix + lines[i] + "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

json ShowJson(CTessane& host, const std::string& file) {
    json entry = json::object();
    PutBytes(entry, "file", file);
    entry["ok"] = true;
    PutBytes(entry, "type", host.PluginTypeName(host.PluginIndex));
    PutBytes(entry, "description", host.FileInfo);
    PutComment(entry, host.Comment);
    return entry;
}

bool SetOne(CTessane& host, const std::string& file, const std::string& comment, bool byContent,
            bool backup) {
    int32_t code = host.OpenFile(nullptr, file, byContent);
    if (code != CPI_OK) {
        ReportFailure(file, MessageLine(MessageForResult(code)), OpenFailureReason(file, code, byContent));
        return false;
    }
    // The new image must carry the whole comment before it replaces anything.
    FileSteps steps;
    SaveOutcome outcome =
        SaveImageFile(host, nullptr, file, comment, backup, steps, CommentKeptCheck(host, nullptr, comment));
    host.CloseFile();
    if (outcome.code != CPI_OK) {
        ReportFailure(file, MessageLine(outcome.messageId), outcome.reason);
        return false;
    }
    return true;
}

bool ReadAllFromFd(int fd, std::string& bytes, std::string& reason) {
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (got == 0)
            return true;
        bytes.append(buffer, static_cast<size_t>(got));
    }
}

} // namespace

bool LoadPlugins(CTessane& host) {
    if (host.LoadPlugins(ProgramDirectory(), "*.cpi"))
        return true;
    std::fprintf(stderr, "tessane-cli: %s\n", MessageLine(MsgNoPluginsFound).c_str());
    return false;
}

PinnedPlugins::PinnedPlugins(const CTessane& host) {
    for (const TPluginList& plugin : host.Plugins) {
        if (HMODULE module = LoadLibraryA(plugin.Path.c_str()))
            modules_.push_back(module);
    }
}

PinnedPlugins::~PinnedPlugins() {
    for (HMODULE module : modules_)
        FreeLibrary(module);
}

int ListPlugins(CTessane& host, bool json) {
    if (json) {
        nlohmann::json list = nlohmann::json::array();
        for (int32_t i = 0; i < host.PluginCount(); ++i) {
            nlohmann::json entry = nlohmann::json::object();
            PutBytes(entry, "path", host.Plugins[static_cast<size_t>(i)].Path);
            PutBytes(entry, "description", host.PluginDescription(i));
            PutBytes(entry, "type", host.PluginTypeName(i));
            PutBytes(entry, "filter", host.PluginFilter(i));
            entry["flags"] = host.PluginFlags(i);
            list.push_back(std::move(entry));
        }
        std::string out = DumpJson(nlohmann::json{{"plugins", std::move(list)}});
        std::fwrite(out.data(), 1, out.size(), stdout);
        return ExitOk;
    }
    for (int32_t i = 0; i < host.PluginCount(); ++i) {
        const int32_t flags = host.PluginFlags(i);
        std::string out = host.Plugins[static_cast<size_t>(i)].Path + ":\n";
        out += "  Description: " + host.PluginDescription(i) + "\n";
        out += "  Type       : " + host.PluginTypeName(i) + "\n";
        out += "  Filter     : " + host.PluginFilter(i) + "\n";
        out += "  Flags      : " + std::to_string(flags);
        if (flags & CPI_FLAG_ABOUT)
            out += " about";
        if (flags & CPI_FLAG_SETTINGS)
            out += " settings";
        out += "\n";
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    return ExitOk;
}

int ShowFiles(CTessane& host, const std::vector<std::string>& files, bool byContent, bool json) {
    int status = ExitOk;
    nlohmann::json list = nlohmann::json::array();
    for (const std::string& file : files) {
        int32_t code = host.OpenFile(nullptr, file, byContent);
        if (code != CPI_OK) {
            const std::string message = MessageLine(MessageForResult(code));
            const std::string reason = OpenFailureReason(file, code, byContent);
            ReportFailure(file, message, reason);
            if (json)
                list.push_back(FailureJson(file, code, message, reason));
            status = ExitFailed;
            continue;
        }
        if (json)
            list.push_back(ShowJson(host, file));
        else
            PrintShowText(file, host.FileInfo, host.Comment);
        host.CloseFile();
    }
    if (json) {
        std::string out = DumpJson(nlohmann::json{{"files", std::move(list)}});
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    return status;
}

int GetComment(CTessane& host, const std::string& file, bool byContent) {
    int32_t code = host.OpenFile(nullptr, file, byContent);
    if (code != CPI_OK) {
        ReportFailure(file, MessageLine(MessageForResult(code)), OpenFailureReason(file, code, byContent));
        return ExitFailed;
    }
    const std::string comment = host.Comment;
    host.CloseFile();
    if (std::fwrite(comment.data(), 1, comment.size(), stdout) != comment.size() ||
        std::fflush(stdout) != 0) {
        ReportFailure("standard output", std::strerror(errno), {});
        return ExitFailed;
    }
    return ExitOk;
}

int SetComment(CTessane& host, const std::vector<std::string>& files, const std::string& comment,
               bool byContent, bool backup) {
    int status = ExitOk;
    for (const std::string& file : files) {
        if (!SetOne(host, file, comment, byContent, backup))
            status = ExitFailed;
    }
    return status;
}

bool ReadAllBytes(const std::string& path, std::string& bytes, std::string& reason) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    bool ok = ReadAllFromFd(fd, bytes, reason);
    ::close(fd);
    return ok;
}

bool ReadAllStdin(std::string& bytes, std::string& reason) {
    return ReadAllFromFd(STDIN_FILENO, bytes, reason);
}

} // namespace tessane::cli
