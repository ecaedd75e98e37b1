#pragma once
// Form1: the main window's core. It holds the fields every command shares and runs the
// commands and the shared steps; it has no widgets and reaches the screen only through
// FormView. The class is one unit of state, but its procedures live with their subsystems:
// each section below names the folder and file that defines it.

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/form_view.h"
#include "app/photoshop_connection.h"
#include "app/typed_number.h"
#include "app/workflow_state.h"
#include "photoshop/object_model.h"

namespace app {

class SettingsStore;
class ErrorRecovery;

// Entries of the Options menu.
enum OptionsMenuEntry : std::int16_t {
  ReplaceBackgroundOption = 0,
  EnableNextPrevOption = 1,
  IncludeMenuTitleOption = 2,
  IncludeButtonTextOption = 3,
  RemoveButtonHiliteOption = 4,
  RemoveNextPrevHiliteOption = 5,
  AddHiliteToThumbOption = 6,
};

inline constexpr int kHistoryTableSize = 50;
using HistoryTable = std::array<photoshop::HistoryState, kHistoryTableSize>;

class Form1 {
 public:
  Form1(FormView& view, SettingsStore& settings, PhotoshopConnector connectPhotoshop, std::string programFolder);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  FormView& View() const { return view_; }
  const std::string& ProgramFolder() const { return programFolder_; }

  // ===== Main window and workflow (app/) ======================================================

  // --- Start-up and shutdown (app/startup_shutdown.cpp)
  void Form_Load();
  // Stores the window position and gives the application its preferences back; runs once.
  void Form_Unload();
  // Unloads the main window, which ends the program through Form_Unload.
  void UnloadForm();
  // Random numbers in [0, 1) from the generator seeded at start-up.
  double Rnd();
  // Reseeds the generator from the system clock.
  void Randomize();

  // --- Workflow states and instruction pane (app/workflow_states.cpp)
  void SetUIState();
  void DisplayStateInfo(const std::string& StateFile);
  void ClearStatusDisplay();
  void DisplayStatusInfo(const std::string& s);
  // Key code as the window reports it (letters upper case); shift state 1 Shift, 2 Ctrl, 4 Alt.
  void Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
  void LoadRTF_Click();
  void SaveRTFFile_Click();
  // The instruction file of a workflow state.
  std::string StateInfoFile(int state) const;

  // --- Document tags (app/document_tags.cpp)
  void SaveOptionsToDocument(const std::string& marker);
  void LoadOptionsFromDocument();
  // The seven option flags as the tag stores them: "T" or "F" each.
  std::string OptionFlagsText() const;

  // --- History navigation and undo (app/history_navigation.cpp)
  void SaveHistoryState(std::int16_t SetState);
  void PreviousHistoryState();
  void Undo_Click();

  // --- Options menu and menu commands (app/options_menu.cpp)
  void OptionsMenu_Click(std::int16_t Index);
  void FileMenu_Click(std::int16_t Index);
  void EditMenu_Click(std::int16_t Index);
  void HelpAbout_Click();

  // ===== Photoshop operations (app/photoshop_operations.cpp) ==================================
  // The main window's procedures over the operations of photoshop/, with its shared fields.
  void ScaleImageSize(double W, double H);
  void DuplicateDoc(const std::string& NewDocName);
  // Shows "<DocDest> Document Closed" itself when the destination is not open.
  void DuplicateLayer(const std::string& DocDest);
  void SetLayerColorLabel(const std::string& colorCode);
  void SetLayerContentColor(std::int32_t LColor);
  void SaveAsPSD(const std::string& path);
  void DeleteLayerStyle();
  void SetPSForegroundColor(std::int32_t LColor);
  void SetPSBackgroundColor(std::int32_t LColor);
  void SelectColorTableCells(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
                             int selectionType);

  // ===== Menu creation (menu_creation/) =======================================================

  // --- Menu document model (menu_creation/template_check.cpp)
  // Checks TemplateDocument, making its items visible; "" when complete, else one numbered line
  // per missing item, with their count in MissingCount.
  std::string CheckButtonTemplateLayers(std::int16_t& MissingCount);

  // --- Create/Edit Menu (menu_creation/create_menu.cpp)
  void CreateNewMenuDoc_Click();

  // --- Random background (menu_creation/random_background.cpp)
  void MakeBackground();
  void AnotherRandomBkgnd_Click();

  // --- Title-safe guides (menu_creation/title_safe_guides.cpp)
  void SetTitleSafeGuides();

  // --- Thumbnails for the chooser dialog (menu_creation/make_thumbnail.cpp)
  // A 220 x 165 JPEG (quality 12) of a document file; failures reach the caller.
  void MakeThumbnail(const std::string& DocFileName, const std::string& ThumbFileName);

  // ===== Button layout and final document (button_layout/) ===================================
  // --- Clone buttons (button_layout/clone_buttons.cpp)
  void CloneButtons_Click();
  // Recolours the Build Menu's active layer: pixels keep their shape, a fill layer its fill.
  void RecolorActiveLayer(std::int32_t color);
  // --- Optional layers and re-linking (button_layout/apply_options_to_layers.cpp, relink_buttons.cpp)
  void ApplyOptionsToLayers();
  void LinkBtnLyrs_Click();
  // --- Composite layers (button_layout/composite_layers.cpp, composite_builders.cpp)
  void BuildCompositeLayers_Click();
  void CompositAreaLayers(const std::string& LayerName);
  void CompositButtonMaskLayers();
  void CompositThumbMaskLayers();
  void CompositButtonImageLayers();
  void CompositHiliteMaskLayers();
  // --- Final document (button_layout/final_document.cpp)
  void FinalPSDDocument_Click();
  // --- Menu preview (button_layout/preview_menu.cpp)
  void PreviewMenu_Click();

  // ===== Color table (color_table/color_table_commands.cpp) ====================================
  void MakeColorTableLayer();
  void ColorTableCtrl1_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y, std::int16_t CX,
                                 std::int16_t CY, std::int16_t CT);
  void ColorTableCtrl1_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y, std::int16_t CX,
                                 std::int16_t CY, std::int16_t CT);
  void ColorTableSel_Click();
  void FillBlack_Click();
  void FillGray_Click();
  void FillLtGray_Click();
  void FillWhite_Click();

  // ===== Fields ===============================================================================

  // --- Application connection and preferences
  photoshop::Application PhotoshopApp = DisconnectedApplication();
  photoshop::SolidColor WorkSolidColor;
  // The user's own preferences, recorded at start-up; only recorded ones are given back.
  std::optional<std::int32_t> SavedRulerUnits;
  std::optional<std::int32_t> SavedHistoryStateCount;
  std::optional<std::int32_t> SavedInterpolation;

  // --- Workflow
  std::int16_t WorkflowState = CreateMenuDocs;
  std::string CompletedMenuName;
  bool AutoRandomBackground = true;
  photoshop::Document SavedActiveDocument;
  photoshop::ArtLayer SavedActiveLayer;
  std::string KeyBuffer;

  // --- Options
  bool ReplaceBackgroundWithButtonImage = false;
  bool EnableNextPrevButtons = true;
  bool IncludeMenuTitleArea = true;
  bool IncludeButtonTextArea = true;
  bool KeepButtonImageHilite = false;
  bool KeepNextPrevHilite = false;
  bool AddHiliteToThumbMask = false;

  // --- Working documents and document tags
  photoshop::Document BuildMenuDocument;
  photoshop::Document TemplateDocument;
  photoshop::Document FinalMenuDocument;
  std::vector<std::string> DocumentKeywords;
  // The number of buttons: the text the user typed, or the number read from a tag.
  TypedNumber ButtonCount;

  // --- History: entry state - 1 holds each document's history state when that state was entered
  HistoryTable BuildMenuHistory;
  HistoryTable TemplateHistory;
  HistoryTable FinalMenuHistory;

  // --- Button layout
  std::array<std::int32_t, 10> ButtonColors{};
  std::int32_t TitleAreaColor = 0;
  photoshop::ArtLayer WorkLayer;
  bool PreviewToggle = false;

 private:
  FormView& view_;
  SettingsStore& settings_;
  PhotoshopConnector connectPhotoshop_;
  std::string programFolder_;
  std::minstd_rand random_;
  bool unloaded_ = false;

  // Steps of the button-layout commands; false when the recovery routine ended the command.
  bool AskButtonCount();
  bool LinkTemplateButtons(ErrorRecovery& onError);
  bool CopyFromTemplate(ErrorRecovery& onError, const std::string& name, bool isSet, photoshop::Layer& copy);
  bool CloneOneButton(ErrorRecovery& onError, int n);
  bool CloneNavigationAndTitle(ErrorRecovery& onError);
  photoshop::Layer NewCompositeSet(const std::string& name, std::int32_t base, bool yellowLabel);
  void CopyIntoComposite(const photoshop::Layer& set, const photoshop::Layer& source, const std::string& name);
  void AddCompMask(const photoshop::Layer& into, const std::string& sourceSet, const std::vector<std::string>& hidden,
                   const std::string& name, bool invert, int blendMode);
  bool CopyMergedComposite(ErrorRecovery& onError, const char* set, const std::string& rename);
  bool AssembleFinalLayers(ErrorRecovery& onError);
  bool SizeFinalAndAddColorTable(ErrorRecovery& onError);
  void SaveFinalCopy();
};

}  // namespace app
