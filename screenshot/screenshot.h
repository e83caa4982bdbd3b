// screenshot.h: writes the frozen frame to the next free "screenshot%d.png".
#pragma once

void saveScreenshot();
