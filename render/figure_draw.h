// figure_draw.h: draws a posed figure from the joint and limb models.
#pragma once

#include "game/game.h"

void drawFigure(Figure figure);
