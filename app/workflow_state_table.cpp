#include "app/workflow_state_table.h"

#include <array>

#include "app/workflow_state.h"

namespace app {

namespace {

using B = WorkflowButton;

constexpr std::array kAll{B::PreviewMenu,  B::AnotherRandomBkgnd,   B::CreateNewMenuDoc, B::CloneButtons,
                          B::LinkBtnLyrs, B::BuildCompositeLayers, B::FinalPSDDocument, B::Undo};

constexpr std::array kState1{B::CreateNewMenuDoc};
constexpr std::array kState2{B::CloneButtons, B::Undo, B::AnotherRandomBkgnd};
constexpr std::array kState3{B::CloneButtons, B::Undo, B::AnotherRandomBkgnd, B::PreviewMenu};
constexpr std::array kState4{B::BuildCompositeLayers, B::Undo, B::AnotherRandomBkgnd, B::PreviewMenu, B::LinkBtnLyrs};
constexpr std::array kState5{B::BuildCompositeLayers, B::Undo, B::LinkBtnLyrs};
constexpr std::array kStates6And7{B::FinalPSDDocument, B::Undo};
constexpr std::array kStates8And9{B::Undo};

}  // namespace

std::optional<WorkflowStateInfo> WorkflowStateFor(int state) {
  switch (state) {
    case CreateMenuDocs: return WorkflowStateInfo{"Create New Menu Docs", kState1, true};
    case EditButtonTemplate: return WorkflowStateInfo{"Edit the Button Template as needed.", kState2, true};
    case ReEditButtonTemplate: return WorkflowStateInfo{"Re-Edit the Button Template as needed.", kState3, true};
    case EditClonedLayout: return WorkflowStateInfo{"Edit the Cloned Buttons Layout on the Main Menu", kState4, true};
    case CompositingLayers: return WorkflowStateInfo{"Compositing Layers for Final Document", kState5, true};
    case BuildFinalDocument: return WorkflowStateInfo{"Build Final Photoshop Document", kStates6And7, true};
    case BuildingFinalDocument: return WorkflowStateInfo{"Building Final Photoshop Document", kStates6And7, true};
    case BuiltFinalSaveNow: return WorkflowStateInfo{"Built Final Photoshop Document... Save Now.", kStates8And9, false};
    case BuiltSaveFinal: return WorkflowStateInfo{"Built... Save Final PSD Document", kStates8And9, false};
    default: return std::nullopt;
  }
}

std::span<const WorkflowButton> AllWorkflowButtons() { return kAll; }

}  // namespace app
