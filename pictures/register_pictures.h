#pragma once

// Makes the picture store's components known to the window layout reader.
void RegisterPictureClasses();
