// label_texts.h: the action label's texts as the README gives them, without and with "plainlabels",
// written out here for the drawn test, never taken from the game.
#pragma once

const char* const LABEL_TEXTS[2][9] = {
    {"actiontype_raiseground", "actiontype_lowerground", "actiontype_spawnblock",
     "actiontype_removeblock", "actiontype_swing", "actiontype_shootball", "actiontype_slowmo",
     "actiontype_spawnenemy", "actiontype_fly"},
    {"Raise ground", "Lower ground", "Place block", "Remove block", "Swing", "Throw ball",
     "Slow motion", "Create enemy", "Fly"}};
