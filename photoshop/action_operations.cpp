#include "photoshop/action_operations.h"

#include "photoshop/color_operations.h"

namespace photoshop {

namespace {

constexpr int kNoDialogs = 3;
constexpr int kAllDialogs = 1;

// The reference every target-layer action starts with: class "Lyr " by ordinal "Trgt".
ActionReference targetLayerReference(Application& app) {
  ActionReference ref;
  const TypeID idLyr = app.CharIDToTypeID("Lyr ");
  const TypeID idOrdn = app.CharIDToTypeID("Ordn");
  const TypeID idTrgt = app.CharIDToTypeID("Trgt");
  ref.PutEnumerated(idLyr, idOrdn, idTrgt);
  return ref;
}

bool isBusy(const AutomationError& e) { return e.Is(engine::ErrorCode::Busy) || e.Is(engine::ErrorCode::CallRejected); }

}  // namespace

void ScaleImageSize(Application& PhotoshopApp, double W, double H) {
  const TypeID idImgS = PhotoshopApp.CharIDToTypeID("ImgS");
  ActionDescriptor desc;
  const TypeID idWdth = PhotoshopApp.CharIDToTypeID("Wdth");
  const TypeID idPxlW = PhotoshopApp.CharIDToTypeID("#Pxl");
  desc.PutUnitDouble(idWdth, idPxlW, W);
  const TypeID idHght = PhotoshopApp.CharIDToTypeID("Hght");
  const TypeID idPxlH = PhotoshopApp.CharIDToTypeID("#Pxl");
  desc.PutUnitDouble(idHght, idPxlH, H);
  const TypeID idIntr = PhotoshopApp.CharIDToTypeID("Intr");
  const TypeID idIntp = PhotoshopApp.CharIDToTypeID("Intp");
  const TypeID idBcbc = PhotoshopApp.CharIDToTypeID("Bcbc");
  desc.PutEnumerated(idIntr, idIntp, idBcbc);
  PhotoshopApp.ExecuteAction(idImgS, desc, kNoDialogs);
}

void DuplicateDoc(Application& PhotoshopApp, const std::string& NewDocName) {
  const TypeID idDplc = PhotoshopApp.CharIDToTypeID("Dplc");
  ActionDescriptor desc;
  const TypeID idnull = PhotoshopApp.CharIDToTypeID("null");
  ActionReference ref;
  const TypeID idDcmn = PhotoshopApp.CharIDToTypeID("Dcmn");
  const TypeID idOrdn = PhotoshopApp.CharIDToTypeID("Ordn");
  const TypeID idFrst = PhotoshopApp.CharIDToTypeID("Frst");
  ref.PutEnumerated(idDcmn, idOrdn, idFrst);
  desc.PutReference(idnull, ref);
  const TypeID idNm = PhotoshopApp.CharIDToTypeID("Nm  ");
  desc.PutString(idNm, NewDocName);
  PhotoshopApp.ExecuteAction(idDplc, desc, kNoDialogs);
}

void DuplicateLayer(Application& PhotoshopApp, const std::string& DocDest,
                    const std::function<void(const std::string& message)>& showMessage) {
  try {
    const TypeID idDplc = PhotoshopApp.CharIDToTypeID("Dplc");
    ActionDescriptor desc;
    const TypeID idnull = PhotoshopApp.CharIDToTypeID("null");
    desc.PutReference(idnull, targetLayerReference(PhotoshopApp));
    const TypeID idT = PhotoshopApp.CharIDToTypeID("T   ");
    ActionReference dest;
    const TypeID idDcmn = PhotoshopApp.CharIDToTypeID("Dcmn");
    dest.PutName(idDcmn, DocDest);
    desc.PutReference(idT, dest);
    PhotoshopApp.ExecuteAction(idDplc, desc, kNoDialogs);
  } catch (const AutomationError& e) {
    // A busy application is the caller's to retry; a copy that silently did not happen would
    // leave later steps working on the wrong layer.
    if (e.Is(engine::ErrorCode::Busy) || e.Is(engine::ErrorCode::CallRejected)) throw;
    if (e.Description() == engine::kNoSuchElementText && showMessage) showMessage(DocDest + " Document Closed");
  } catch (const std::exception&) {
    // Every other failure ends the copy silently; the caller goes on as if it had been made.
  }
}

void SetLayerColorLabel(Application& PhotoshopApp, const std::string& colorCode) {
  const TypeID idsetd = PhotoshopApp.CharIDToTypeID("setd");
  ActionDescriptor desc;
  const TypeID idnull = PhotoshopApp.CharIDToTypeID("null");
  desc.PutReference(idnull, targetLayerReference(PhotoshopApp));
  const TypeID idT = PhotoshopApp.CharIDToTypeID("T   ");
  ActionDescriptor label;
  const TypeID idClrKey = PhotoshopApp.CharIDToTypeID("Clr ");
  const TypeID idClrType = PhotoshopApp.CharIDToTypeID("Clr ");
  const TypeID idColor = PhotoshopApp.CharIDToTypeID(colorCode);
  label.PutEnumerated(idClrKey, idClrType, idColor);
  const TypeID idLyr = PhotoshopApp.CharIDToTypeID("Lyr ");
  desc.PutObject(idT, idLyr, label);
  PhotoshopApp.ExecuteAction(idsetd, desc, kNoDialogs);
}

void SetLayerContentColor(Application& PhotoshopApp, std::int32_t LColor) {
  const ColorComponents c = SplitColorValue(LColor);
  const TypeID idsetd = PhotoshopApp.CharIDToTypeID("setd");
  ActionDescriptor desc;
  const TypeID idnull = PhotoshopApp.CharIDToTypeID("null");
  ActionReference ref;
  const TypeID idcontentLayer = PhotoshopApp.StringIDToTypeID("contentLayer");
  const TypeID idOrdn = PhotoshopApp.CharIDToTypeID("Ordn");
  const TypeID idTrgt = PhotoshopApp.CharIDToTypeID("Trgt");
  ref.PutEnumerated(idcontentLayer, idOrdn, idTrgt);
  desc.PutReference(idnull, ref);
  const TypeID idT = PhotoshopApp.CharIDToTypeID("T   ");
  ActionDescriptor fill;
  const TypeID idClr = PhotoshopApp.CharIDToTypeID("Clr ");
  ActionDescriptor color;
  const TypeID idRd = PhotoshopApp.CharIDToTypeID("Rd  ");
  color.PutDouble(idRd, double(c.Red));
  const TypeID idGrn = PhotoshopApp.CharIDToTypeID("Grn ");
  color.PutDouble(idGrn, double(c.Green));
  const TypeID idBl = PhotoshopApp.CharIDToTypeID("Bl  ");
  color.PutDouble(idBl, double(c.Blue));
  const TypeID idRGBC = PhotoshopApp.CharIDToTypeID("RGBC");
  fill.PutObject(idClr, idRGBC, color);
  const TypeID idsolidColorLayer = PhotoshopApp.StringIDToTypeID("solidColorLayer");
  desc.PutObject(idT, idsolidColorLayer, fill);
  PhotoshopApp.ExecuteAction(idsetd, desc, kNoDialogs);
}

void SaveAsPSD(Application& PhotoshopApp, const std::string& path) {
  const TypeID idsave = PhotoshopApp.CharIDToTypeID("save");
  ActionDescriptor desc;
  const TypeID idAs = PhotoshopApp.CharIDToTypeID("As  ");
  ActionDescriptor format;
  const TypeID idmaximizeCompatibility = PhotoshopApp.StringIDToTypeID("maximizeCompatibility");
  format.PutBoolean(idmaximizeCompatibility, true);
  const TypeID idPht3 = PhotoshopApp.CharIDToTypeID("Pht3");
  desc.PutObject(idAs, idPht3, format);
  const TypeID idIn = PhotoshopApp.CharIDToTypeID("In  ");
  desc.PutPath(idIn, path);
  PhotoshopApp.ExecuteAction(idsave, desc, kAllDialogs);
}

void DeleteLayerStyle(Application& PhotoshopApp) {
  const TypeID iddisableLayerStyle = PhotoshopApp.StringIDToTypeID("disableLayerStyle");
  ActionDescriptor desc;
  const TypeID idnull = PhotoshopApp.CharIDToTypeID("null");
  desc.PutReference(idnull, targetLayerReference(PhotoshopApp));
  try {
    PhotoshopApp.ExecuteAction(iddisableLayerStyle, desc, kNoDialogs);
  } catch (const AutomationError& e) {
    // A layer without a style has nothing to switch off. A busy application did not run the
    // action at all, so the caller's recovery must hear of it.
    if (isBusy(e)) throw;
  }
}

}  // namespace photoshop
