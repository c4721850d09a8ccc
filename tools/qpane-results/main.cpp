// qpane-results: a result list of the console's store as PDF, CSV or text, for scripts and
// for a second PC. It only reads the store, so it runs while the console writes.
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "platform/paths.h"
#include "platform/settings_file.h"
#include "platform/shift_jis.h"
#include "results/list_export.h"
#include "results/list_heading.h"
#include "results/read_only_store.h"
#include "results/result_list.h"
#include "store/backup_commands.h"
#include "store/query.h"

#ifdef QPANE_RESULTS_PDF
#include <QGuiApplication>
#include <QtGlobal>

#include "results/pdf/list_document.h"
#endif

namespace {

using namespace qpane;
using namespace qpane::results;

const char* const kUsage =
    "usage: qpane-results [--root DIR] --block B [--group G] --format pdf|csv|txt\n"
    "                     [--encoding utf8|sjis] [--kind alpine|cross|relay] -o FILE\n"
    "       qpane-results [--root DIR] --backups\n"
    "       qpane-results [--root DIR] --restore NAME\n"
    "       qpane-results --help\n"
    "\n"
    "Writes the result list of a block (one group, or every group of the block) ranked as\n"
    "the board ranks it. Reads the store only: it may run while the console runs.\n"
    "\n"
    "  --root DIR      the folder that stands for the drive root (default: $QPANE_ROOT,\n"
    "                  else ~/qpane-root), as for the console\n"
    "  --block B       the block, 0 to 9\n"
    "  --group G       one group of the block (default: every group, each ranked on its own)\n"
    "  --format F      pdf (A4, the Japanese font embedded), csv or txt\n"
    "  --encoding E    utf8 (default; a CSV starts with a byte-order mark) or sjis (code\n"
    "                  page 932); not for pdf\n"
    "  --kind K        how the race ranks (default: from the pattern in the settings file)\n"
    "  -o FILE         the file to write; it is replaced whole or not at all\n"
    "  --backups       list the store's backups (newest first: name, size in bytes)\n"
    "  --restore NAME  put the backup NAME back as the store, when no console runs; the\n"
    "                  store as it was is kept as a backup first\n"
    "  --help          print this help\n"
    "\n"
    "The title and the date of the list are the keys Title and Date of section [Results] of\n"
    "the settings file, as the console's list dialog keeps them.\n"
    "\n"
    "Exit status: 0 when the file was written (or the backups listed, the backup restored),\n"
    "2 for a wrong command line, 1 when there is no store, no competitor in the block or\n"
    "group, the file cannot be written, or a restore is refused.\n";

int usage(const std::string& problem) {
    if (!problem.empty()) std::cerr << "qpane-results: " << problem << "\n";
    std::cerr << kUsage;
    return 2;
}

int failure(const std::string& problem) {
    std::cerr << "qpane-results: " << problem << "\n";
    return 1;
}

struct Options {
    std::optional<std::filesystem::path> root;
    std::optional<std::string> block, group, format, kind, output;
    std::string encoding = "utf8";
    bool backups = false;
    std::optional<std::string> restore;
};

// Returns the usage problem; "" when the command line is sound.
std::string parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](auto& into) -> bool {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        bool ok = true;
        if (arg == "--root")
            ok = value(o.root);
        else if (arg == "--block")
            ok = value(o.block);
        else if (arg == "--group")
            ok = value(o.group);
        else if (arg == "--format")
            ok = value(o.format);
        else if (arg == "--encoding")
            ok = value(o.encoding);
        else if (arg == "--kind")
            ok = value(o.kind);
        else if (arg == "-o" || arg == "--output")
            ok = value(o.output);
        else if (arg == "--backups")
            o.backups = true;
        else if (arg == "--restore")
            ok = value(o.restore);
        else
            return "unknown option " + arg;
        if (!ok) return arg + " needs a value";
    }
    // The backup commands stand alone: a list option beside them would be ignored unseen.
    if (o.backups || o.restore) {
        if (o.backups && o.restore) return "--backups and --restore do not go together";
        if (o.block || o.group || o.format || o.kind || o.output)
            return "--backups and --restore take no list options";
        return {};
    }
    if (!o.block) return "--block is missing";
    if (!o.format) return "--format is missing";
    if (*o.format != "pdf" && *o.format != "csv" && *o.format != "txt")
        return "unknown format " + *o.format;
    if (o.encoding != "utf8" && o.encoding != "sjis") return "unknown encoding " + o.encoding;
    if (*o.format == "pdf" && o.encoding != "utf8") return "a PDF has no encoding to choose";
    if (o.kind && *o.kind != "alpine" && *o.kind != "cross" && *o.kind != "relay")
        return "unknown kind " + *o.kind;
    if (!o.output) return "-o FILE is missing";
    return {};
}

Discipline disciplineOf(const Options& o, const SettingsFile& ini) {
    if (o.kind) {
        if (*o.kind == "cross") return Discipline::Cross;
        if (*o.kind == "relay") return Discipline::Relay;
        return Discipline::Alpine;
    }
    return disciplineOfPattern(ini.readInteger("Boad", "Disppt", 1));
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    Options o;
    if (const std::string problem = parse(argc, argv, o); !problem.empty()) return usage(problem);
    const std::filesystem::path root = o.root ? *o.root : Paths::fromEnvironment().root();
    if (o.backups) return listBackups(root, std::cout, std::cerr);
    if (o.restore) return restoreBackup(root, *o.restore, std::cout, std::cerr);
#ifndef QPANE_RESULTS_PDF
    if (*o.format == "pdf") return failure("this build has no PDF writer (built without Qt)");
#endif

    const Paths paths = o.root ? Paths(*o.root) : Paths::fromEnvironment();
    const SettingsFile ini(paths.settingsFolder() / "Qcontrol.ini");
    const ListHeading heading = readListHeading(paths.settingsFolder() / "Qcontrol.ini");
    try {
        ReadOnlyStore store(paths.dataFolder());
        const ResultList list =
            readResultList(store.handle(), disciplineOf(o, ini), *o.block, o.group);
        const Encoding encoding = o.encoding == "sjis" ? Encoding::ShiftJis : Encoding::Utf8;
        std::string bytes;
        if (*o.format == "csv") {
            bytes = csvOf(list, encoding);
        } else if (*o.format == "txt") {
            bytes = textOf(list, heading, encoding);
        } else {
#ifdef QPANE_RESULTS_PDF
            // No window is shown: the offscreen platform serves a PC without a display.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            // Qt's notes about the offscreen session are not the tool's messages.
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
                if (type == QtCriticalMsg || type == QtFatalMsg)
                    std::cerr << "qpane-results: " << m.toStdString() << "\n";
            });
            int qtArgc = 1;
            QGuiApplication app(qtArgc, argv);
            bytes = pdfOf(list, heading);
#endif
        }
        writeWholeFile(*o.output, bytes);
    } catch (const NoResults& e) {
        return failure(e.what());
    } catch (const EncodingError& e) {
        return failure("cannot be written in Shift-JIS: " + std::string(e.what()));
    } catch (const EDatabaseError& e) {
        return failure(e.what());
    } catch (const std::exception& e) {
        return failure(e.what());
    }
    return 0;
}
