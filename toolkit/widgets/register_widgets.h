#pragma once

// Registers every window control and dialog class with the layout reader.
void RegisterToolkitWidgets();
