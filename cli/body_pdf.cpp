#include "body_pdf.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "body_document.h"
#include "dialog_template.h"
#include "rich_edit_print_job.h"
#include "rtf/offline_document.h"

namespace parcelo {

bool PrintBodiesToPdf(const MessageBodies& bodies, const std::string& path, int argc, char** argv) {
    // The printer says only that it could not start; opening the file first tells why.
    errno = 0;
    if (std::FILE* probe = std::fopen(path.c_str(), "wb")) {
        std::fclose(probe);
    } else {
        std::fprintf(stderr, "parcelo-extract: cannot write %s: %s\n", path.c_str(),
                     std::strerror(errno != 0 ? errno : EIO));
        return false;
    }

    PrepareOffscreenQt();
    QGuiApplication application(argc, argv);
    OfflineTextDocument document;
    // The body view's font: the window's, at its dialog size.
    QFont font = QGuiApplication::font();
    font.setPointSize(kMainDialogFontPoints);
    document.setDefaultFont(font);
    document.setUndoRedoEnabled(false);
    FillBodyDocument(document, bodies);

    RichEditPrintJob job;
    job.document = &document;
    if (job.PrintToPdf(QFile::decodeName(QByteArray::fromStdString(path))) !=
        PrintJob::Outcome::Printed) {
        std::fprintf(stderr, "parcelo-extract: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace parcelo
