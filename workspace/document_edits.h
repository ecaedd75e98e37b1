#pragma once
// The changes the user makes in the workspace, each applied to the engine's document as one
// history state named as Photoshop names it, and announced through the engine's change count.
// Failures throw engine::EngineError and leave the document as it was.

#include <QRect>
#include <memory>
#include <string>

#include "engine/engine.h"

namespace workspace::edits {

void moveActiveLayer(engine::Engine& eng, engine::Document& doc, int dx, int dy);
// Scales and moves the active layer (and what a set holds) so that its bounds become `target`.
void transformActiveLayer(engine::Engine& eng, engine::Document& doc, const QRect& target);

void setVisible(engine::Engine& eng, engine::Document& doc, engine::LayerId id, bool visible);
void setActiveLayer(engine::Engine& eng, engine::Document& doc, engine::LayerId id);
void rename(engine::Engine& eng, engine::Document& doc, engine::LayerId id, const std::string& name);
void setLabel(engine::Engine& eng, engine::Document& doc, engine::LayerId id, engine::ColorLabel label);
void linkWithActive(engine::Engine& eng, engine::Document& doc, engine::LayerId id);
void unlink(engine::Engine& eng, engine::Document& doc, engine::LayerId id);
void duplicate(engine::Engine& eng, engine::Document& doc, engine::LayerId id);
void remove(engine::Engine& eng, engine::Document& doc, engine::LayerId id);
// One step towards the top (up) or the bottom of the layer's own list.
void restack(engine::Engine& eng, engine::Document& doc, engine::LayerId id, bool up);

void rewind(engine::Engine& eng, engine::Document& doc, std::uint64_t state);
// The state before or after the current one; false when there is none.
bool stepHistory(engine::Engine& eng, engine::Document& doc, int direction);

}  // namespace workspace::edits
