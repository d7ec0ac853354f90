#include "app/startdocument.h"

#include "gui/errorbox.h"
#include "windows/editor.h"
#include "windows/globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <string_view>

namespace {

// Qt's own options that take the next argument as their value
// (QGuiApplication's, QApplication's and the X11 platform's), each between
// blanks.
constexpr std::string_view QtValueOptions =
    " platform platformpluginpath platformtheme plugin qwindowgeometry geometry qwindowtitle "
    "title qwindowicon icon session style stylesheet display name visual ";

bool TakesValue(std::string_view option) {
    option.remove_prefix(option.starts_with("--") ? 2 : 1);
    return QtValueOptions.find(' ' + std::string(option) + ' ') != std::string_view::npos;
}

bool SameFile(const TfMain::TFile& document, const QString& path) {
    if (document.Dir.isEmpty()) return false;
    const QFileInfo file(path);
    return QFileInfo(QDir(document.Dir).filePath(document.Name)) == file && file.exists();
}

} // namespace

QString FileArgument(int argc, const char* const* argv) {
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg.starts_with('-')) {
            if (TakesValue(arg)) ++i;
        } else if (!arg.empty()) {
            return QFile::decodeName(argv[i]);
        }
    }
    return {};
}

void OpenAtStart(const QString& file) {
    RunGuarded([&] {
        const bool restored = fMain->OfferRecovery();
        if (file.isEmpty() || (restored && SameFile(fMain->File, file))) return;
        if (fMain->QuerySave()) fMain->OpenFile(file);
    });
}
