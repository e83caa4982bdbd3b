// pose.h: the pose steps that place a figure's joints each update (the
// drawing is in render/figure_draw_gl).
#pragma once

#include "game/game.h"

void poseFigureBody(Figure& figure); // head, neck, hips; feet step when they must
void poseFigureArms(Figure& figure); // shoulders and hands, reaching to the target
