#include "app/qt/print.h"

#include <cups/cups.h>
#include <dlfcn.h>

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/forms.h"
#include "app/qt/text.h"

namespace norvane::qt {
namespace {

// libcups and the score of libraries below it load only when the first print
// asks for them, so that they cost the program's start nothing.
struct Cups {
  decltype(&cupsGetNamedDest) getNamedDest;
  decltype(&cupsFreeDests) freeDests;
  decltype(&cupsCopyDestInfo) copyDestInfo;
  decltype(&cupsFreeDestInfo) freeDestInfo;
  decltype(&cupsGetDestMediaDefault) getDestMediaDefault;
  decltype(&cupsCreateJob) createJob;
  decltype(&cupsStartDocument) startDocument;
  decltype(&cupsWriteRequestData) writeRequestData;
  decltype(&cupsFinishDocument) finishDocument;
  decltype(&cupsCancelJob2) cancelJob;
  decltype(&cupsLastErrorString) lastErrorString;
};

template <class F>
bool Resolve(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
  return function != nullptr;
}

const Cups* LoadCups() {
  static const Cups* const kCups = []() -> const Cups* {
    void* library = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    static Cups cups;
    const bool complete = Resolve(library, "cupsGetNamedDest", cups.getNamedDest) &&
                          Resolve(library, "cupsFreeDests", cups.freeDests) &&
                          Resolve(library, "cupsCopyDestInfo", cups.copyDestInfo) &&
                          Resolve(library, "cupsFreeDestInfo", cups.freeDestInfo) &&
                          Resolve(library, "cupsGetDestMediaDefault", cups.getDestMediaDefault) &&
                          Resolve(library, "cupsCreateJob", cups.createJob) &&
                          Resolve(library, "cupsStartDocument", cups.startDocument) &&
                          Resolve(library, "cupsWriteRequestData", cups.writeRequestData) &&
                          Resolve(library, "cupsFinishDocument", cups.finishDocument) &&
                          Resolve(library, "cupsCancelJob2", cups.cancelJob) &&
                          Resolve(library, "cupsLastErrorString", cups.lastErrorString);
    return complete ? &cups : nullptr;
  }();
  return kCups;
}

// The printer's default paper and its printable area; A4 when it does not say.
QPageLayout PaperOf(const Cups& cups, cups_dest_t& dest) {
  QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                     QPageLayout::Millimeter);
  cups_dinfo_t* info = cups.copyDestInfo(CUPS_HTTP_DEFAULT, &dest);
  if (!info) return layout;
  cups_size_t size{};
  if (cups.getDestMediaDefault(CUPS_HTTP_DEFAULT, &dest, info, 0, &size) && size.width > 0 &&
      size.length > 0) {
    // libcups measures in hundredths of a millimetre.
    layout = QPageLayout(
        QPageSize(QSizeF(size.width / 100.0, size.length / 100.0), QPageSize::Millimeter),
        QPageLayout::Portrait,
        QMarginsF(size.left / 100.0, size.top / 100.0, size.right / 100.0, size.bottom / 100.0),
        QPageLayout::Millimeter);
  }
  cups.freeDestInfo(info);
  return layout;
}

QByteArray DrawPdf(const QImage& image, QSize size, const QString& jobName,
                   const QPageLayout& paper) {
  QByteArray pdf;
  QBuffer buffer(&pdf);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setTitle(jobName);
    writer.setCreator(jobName);
    writer.setPageLayout(paper);
    QPainter painter;
    if (!painter.begin(&writer)) return {};
    constexpr double kPixelsPerInch = 96.0;
    const double scale = writer.resolution() / kPixelsPerInch;
    painter.drawImage(QRectF(0, 0, size.width() * scale, size.height() * scale), image,
                      QRectF(image.rect()));
    if (!painter.end()) return {};
  }
  return pdf;
}

}  // namespace

// The page is drawn by Qt but handed to the print server here, so that every
// answer of the server is known: Qt's own print support reports a refused
// job as printed.
void PrintWidgetImage(QWidget& widget, const QString& jobName) {
  const Cups* cups = LoadCups();
  if (!cups) throw rt::Error("Printing needs the CUPS library (libcups2), which is missing.");
  using DestPtr = std::unique_ptr<cups_dest_t, std::function<void(cups_dest_t*)>>;
  DestPtr dest(cups->getNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr),
               [cups](cups_dest_t* d) { cups->freeDests(1, d); });
  if (!dest) throw rt::Error("There is no default printer, so the window cannot be printed.");
  const std::string printer = dest->name;

  const QByteArray pdf =
      DrawPdf(widget.grab().toImage(), widget.size(), jobName, PaperOf(*cups, *dest));
  if (pdf.isEmpty()) throw rt::Error("The page for printer " + printer + " could not be drawn.");

  const std::string title = ToStdString(jobName);
  // The page already stands inside the printable area at its physical size: no fitting.
  char scalingName[] = "print-scaling", scalingValue[] = "none";
  cups_option_t scaling{scalingName, scalingValue};
  const int job = cups->createJob(CUPS_HTTP_DEFAULT, printer.c_str(), title.c_str(), 1, &scaling);
  if (job == 0) {
    throw rt::Error("The printer " + printer + " did not take the job: " + cups->lastErrorString());
  }
  const bool sent =
      cups->startDocument(CUPS_HTTP_DEFAULT, printer.c_str(), job, title.c_str(), CUPS_FORMAT_PDF,
                          1) == HTTP_STATUS_CONTINUE &&
      cups->writeRequestData(CUPS_HTTP_DEFAULT, pdf.constData(),
                             static_cast<std::size_t>(pdf.size())) == HTTP_STATUS_CONTINUE;
  const ipp_status_t status = cups->finishDocument(CUPS_HTTP_DEFAULT, printer.c_str());
  if (!sent || status > IPP_STATUS_OK_EVENTS_COMPLETE) {
    const std::string reason = cups->lastErrorString();
    cups->cancelJob(CUPS_HTTP_DEFAULT, printer.c_str(), job, 0);
    throw rt::Error("The print job for printer " + printer + " could not be sent: " + reason);
  }
}

}  // namespace norvane::qt
