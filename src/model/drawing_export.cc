#include "model/drawing_export.h"

#include <pfcExport.h>
#include <pfcExceptions.h>

#include "core/ascii_case.h"
#include "core/log.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/export_texts.h"
#include "model/path_text.h"
#include "model/windchill_names.h"

namespace fs = std::filesystem;

namespace {

// The name without its last extension and then without a ".drw" left before
// it: plan.drw.3 and plan.drw give plan, site.plan.drw gives site.plan.
std::string drawingBaseName(const std::string& name) {
  auto withoutExtension = [](const std::string& text) {
    const size_t dot = text.rfind('.');
    return dot == std::string::npos || dot == 0 ? text : text.substr(0, dot);
  };
  std::string base = withoutExtension(name);
  if (base.size() > 4 && asciiLowered(base.substr(base.size() - 4)) == ".drw") base = withoutExtension(base);
  return base;
}

pfcPDFOption_ptr pdfOption(pfcPDFOptionType type, pfcArgValue_ptr value) {
  pfcPDFOption_ptr option = pfcPDFOption::Create();
  option->SetOptionType(type);
  option->SetOptionValue(std::move(value));
  return option;
}

// Strokes all fonts, in monochrome, without opening a viewer; Creo's defaults for the rest.
pfcPDFExportInstructions_ptr pdfInstructions(const fs::path& directory) {
  pfcPDFExportInstructions_ptr instructions = pfcPDFExportInstructions::Create();
  instructions->SetFilePath(pathToXstring(directory));
  pfcPDFOptions_ptr options = pfcPDFOptions::create();
  options->append(pdfOption(pfcPDFOPT_FONT_STROKE, pfcCreateIntArgValue(pfcPDF_STROKE_ALL_FONTS)));
  options->append(pdfOption(pfcPDFOPT_COLOR_DEPTH, pfcCreateIntArgValue(pfcPDF_CD_MONO)));
  options->append(pdfOption(pfcPDFOPT_LAUNCH_VIEWER, pfcCreateBoolArgValue(false)));
  instructions->SetOptions(options);
  return instructions;
}

}  // namespace

std::vector<ExportedFile> exportDrawing(const pfcModel_ptr& model, const ModelMetadata& metadata,
                                        const fs::path& directory, ExportRecord& record) {
  try {
    std::vector<ExportedFile> files;
    const auto error = catchToolkitError([&] {
      logInfo("Exporting drawing to PDF on Creo thread.");
      const std::string origin = fromXstring(model->GetOrigin());
      const std::string source =
          isWindchillOrigin(origin) ? metadata.fileName : pathToUtf8(pathFromUtf8(origin).filename());
      const std::string pdfName = drawingBaseName(source) + ".pdf";
      // The name comes from Creo; one that would leave the directory is refused.
      if (!isSafeLocalFileName(pdfName)) throw std::runtime_error("Drawing export failed: unusable file name " + pdfName);
      const fs::path pdf = directory / pathFromUtf8(pdfName);
      const std::string pdfText = pathToUtf8(pdf);
      if (fs::exists(pdf)) {
        logDebug("Deleting existing PDF file present for drawing: " + pdfText);
        fs::remove(pdf);
      }
      logDebug("Drawing export source: " + origin);
      logDebug("Drawing export target: " + pdfText);
      logDebug("Setting pdf export options");
      const pfcPDFExportInstructions_ptr instructions = pdfInstructions(directory);
      logDebug("Exporting pdf to target location: " + pdfText);
      model->Export(pathToXstring(pdf), instructions);
      logDebug("DRW exported as PDF");
      if (!fs::exists(pdf)) throw std::runtime_error("Drawing export failed: PDF output not found.");
      logDebug("PDF file exported");
      files = {plainExportedFile(pdf)};
    });
    if (!error) return files;
    switch (error->kind) {
      case ToolkitErrorKind::NoPermission:
        logError("ModelExporter: drawing export failed because Creo lacks permission to write the PDF: " +
                 error->description());
        return record.failWith(
            "Creo could not write the drawing PDF needed for upload. Please check file permissions and try again.",
            "Creo lacked permission to write drawing PDF during export.");
      case ToolkitErrorKind::NotDisplayed:
        logError("ModelExporter: drawing export failed because the model is not displayed in the current Creo window.");
        return record.failWith("The drawing must be active in Creo before it can be exported for upload.",
                        "Drawing was not active/displayed during PDF export.");
      case ToolkitErrorKind::Unsupported:
        logError("ModelExporter: drawing export failed because Creo does not support this PDF export request.");
        return record.failWith("Creo does not support exporting this drawing with the current PDF settings.",
                        "Creo reported drawing PDF export request as unsupported.");
      default:
        logError("Creo toolkit error while exporting drw to pdf: exception=" + error->description());
        return record.failWith(kPrepareFailedText, "Creo toolkit error while exporting drawing to PDF.");
    }
  } catch (const std::exception& error) {
    logError("An error occurred while exporting drw as pdf: " + std::string(error.what()));
    return record.failWith(kPrepareFailedText, "Unexpected error while exporting drawing to PDF.");
  }
}
