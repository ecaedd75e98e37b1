#include "app/workflow_state_table.h"

#include <array>

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
    case 1: return WorkflowStateInfo{"Create New Menu Docs", kState1, true};
    case 2: return WorkflowStateInfo{"Edit the Button Template as needed.", kState2, true};
    case 3: return WorkflowStateInfo{"Re-Edit the Button Template as needed.", kState3, true};
    case 4: return WorkflowStateInfo{"Edit the Cloned Buttons Layout on the Main Menu", kState4, true};
    case 5: return WorkflowStateInfo{"Compositing Layers for Final Document", kState5, true};
    case 6: return WorkflowStateInfo{"Build Final Photoshop Document", kStates6And7, true};
    case 7: return WorkflowStateInfo{"Building Final Photoshop Document", kStates6And7, true};
    case 8: return WorkflowStateInfo{"Built Final Photoshop Document... Save Now.", kStates8And9, false};
    case 9: return WorkflowStateInfo{"Built... Save Final PSD Document", kStates8And9, false};
    default: return std::nullopt;
  }
}

std::span<const WorkflowButton> AllWorkflowButtons() { return kAll; }

}  // namespace app
