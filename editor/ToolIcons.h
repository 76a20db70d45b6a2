// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QCursor>
#include <QIcon>

namespace vornak::editor {

enum class Tool { Tiles, Fill, Walls, Select, Car1, Car2 };

// Each tool's picture, drawn rather than shipped, so that the toolbar and the cursor show the
// same thing at any scale.
QIcon ToolIcon(Tool tool);
// A crosshair with the tool's picture beside it: the level maker sees which tool is in hand
// where they look, and the crosshair's centre is the cell the click lands on.
QCursor ToolCursor(Tool tool);

}  // namespace vornak::editor
