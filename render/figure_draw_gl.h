// figure_draw_gl.h: draws a posed figure from the joint and limb models.
#pragma once

#include "game/game.h"

void drawFigure(Figure figure);

struct Model;
// One array draw of a static model as independent triangles, from its
// positions and texture coordinates; the client arrays must be enabled.
void drawModel(const Model& model);
