// tessane-cli: reads and writes the comments of image files through the same
// host and comment plug-ins as the editor.
#include <cstdio>
#include <malloc.h>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli_commands.h"
#include "cli_settings.h"
#include "terminal_ui.h"

namespace {

using namespace tessane::cli;

struct Arguments {
    std::vector<std::string> files;
    bool json = false;
    bool byContent = false;
    bool backup = true;
    std::string text;
    std::string textFile;
    bool fromStdin = false;
};

CLI::Option* AddByContent(CLI::App& command, Arguments& args) {
    return command.add_flag("--by-content,!--by-extension", args.byContent,
                            "Choose the plug-in by probing the contents (--by-extension: by the file name)");
}

CLI::Option* AddBackup(CLI::App& command, Arguments& args) {
    return command.add_flag("--backup,!--no-backup", args.backup,
                            "Copy the old file to its backup name (last character replaced by _) first");
}

void AddTextSource(CLI::App& command, Arguments& args) {
    auto* text = command.add_option("--text", args.text, "The new comment")->type_name("TEXT");
    auto* file =
        command.add_option("--text-file", args.textFile, "Take the new comment from this file's bytes")
            ->type_name("PATH");
    auto* input = command.add_flag("--stdin", args.fromStdin, "Take the new comment from standard input");
    text->excludes(file)->excludes(input);
    file->excludes(input);
}

// The comment for set, from the one source given. Returns an exit status
// when it cannot be had.
int ReadNewComment(const Arguments& args, const CLI::App& set, std::string& comment) {
    std::string reason;
    if (set.count("--text") > 0) {
        comment = args.text;
    } else if (set.count("--text-file") > 0) {
        if (!ReadAllBytes(args.textFile, comment, reason)) {
            std::fprintf(stderr, "tessane-cli: %s: cannot read the text file (%s)\n", args.textFile.c_str(),
                         reason.c_str());
            return ExitFailed;
        }
    } else if (args.fromStdin) {
        if (!ReadAllStdin(comment, reason)) {
            std::fprintf(stderr, "tessane-cli: cannot read standard input (%s)\n", reason.c_str());
            return ExitFailed;
        }
    } else {
        std::fprintf(stderr, "tessane-cli: set needs one of --text, --text-file or --stdin\n");
        return ExitUsage;
    }
    // Comments cross the plug-in interface as zero-terminated text: a zero
    // byte would silently cut the comment short.
    if (comment.find('\0') != std::string::npos) {
        std::fprintf(stderr,
                     "tessane-cli: the new comment holds a zero byte, which a comment cannot carry\n");
        return ExitUsage;
    }
    return ExitOk;
}

// Every open and every save reads a whole image into a fresh buffer, and a
// set reads the same image three times. Keeping freed large blocks in the heap
// lets the next buffer reuse pages already mapped instead of faulting in new
// ones, which for a large photo costs more than the reading itself.
void KeepLargeBuffersForReuse() {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

} // namespace

int main(int argc, char** argv) {
    KeepLargeBuffersForReuse();
    CLI::App app{"Reads and writes the comments of GIF and JPEG files (and any format a comment plug-in "
                 "beside this program knows).",
                 "tessane-cli"};
    app.set_version_flag("--version", "tessane-cli " TESSANE_VERSION);
    app.require_subcommand(1);
    app.footer("Exit status: 0 when every file succeeded, 1 when any failed, 2 for a usage error.\n"
               "Defaults for --backup and --by-content come from section Option of tessane.ini "
               "beside the program.");

    Arguments args;

    auto* plugins = app.add_subcommand("plugins", "List the accepted comment plug-ins");
    plugins->add_flag("--json", args.json, "Print JSON");

    auto* show = app.add_subcommand("show", "Print each file's description and comment");
    show->add_option("FILE", args.files, "Image files")->required()->type_name("");
    show->add_flag("--json", args.json, "Print JSON (bytes that are not UTF-8 also as base64)");
    auto* showByContent = AddByContent(*show, args);

    auto* get = app.add_subcommand("get", "Write the file's comment, byte for byte, to standard output");
    get->add_option("FILE", args.files, "Image file")->required()->expected(1)->type_name("");
    auto* getByContent = AddByContent(*get, args);

    auto* set = app.add_subcommand("set", "Replace the comment of each file");
    set->add_option("FILE", args.files, "Image files")->required()->type_name("");
    AddTextSource(*set, args);
    auto* setByContent = AddByContent(*set, args);
    auto* setBackup = AddBackup(*set, args);

    auto* clear = app.add_subcommand("clear", "Remove the comment of each file");
    clear->add_option("FILE", args.files, "Image files")->required()->type_name("");
    auto* clearByContent = AddByContent(*clear, args);
    auto* clearBackup = AddBackup(*clear, args);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? ExitOk : ExitUsage;
    }

    // Flags not given fall back to the settings file.
    const SaveDefaults defaults = ReadSaveDefaults();
    for (auto [command, option] : {std::pair{show, showByContent}, std::pair{get, getByContent},
                                   std::pair{set, setByContent}, std::pair{clear, clearByContent}}) {
        if (command->parsed() && option->count() == 0)
            args.byContent = defaults.byContent;
    }
    for (auto [command, option] : {std::pair{set, setBackup}, std::pair{clear, clearBackup}}) {
        if (command->parsed() && option->count() == 0)
            args.backup = defaults.backup;
    }

    std::string comment;
    if (set->parsed()) {
        if (int status = ReadNewComment(args, *set, comment); status != ExitOk)
            return status;
    }

    InstallTerminalUi();
    CTessane host;
    if (!LoadPlugins(host))
        return ExitFailed;
    PinnedPlugins pinned(host);

    if (plugins->parsed())
        return ListPlugins(host, args.json);
    if (show->parsed())
        return ShowFiles(host, args.files, args.byContent, args.json);
    if (get->parsed())
        return GetComment(host, args.files.front(), args.byContent);
    return SetComment(host, args.files, comment, args.byContent, args.backup);
}
