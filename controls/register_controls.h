#pragma once

// Makes the reflection controls known to the layout reader.
void RegisterControls();
