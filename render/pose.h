// pose.h: the pose steps that place a figure's joints each update. Core
// library (the drawing is in figure_draw).
#pragma once

#include "game/game.h"

void poseFigureBody(Figure& figure); // head, neck, hips; feet step when they must
void poseFigureArms(Figure& figure); // shoulders and hands, reaching to the target
