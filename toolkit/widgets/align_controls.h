#pragma once

class QWidget;

// Docks the children of Parent that publish an "Align" property other than
// alNone: first every alTop child from the top down, then alBottom from the
// bottom up, then alLeft, alRight, and last alClient filling what is left,
// each kind in creation order. Hidden children take no room.
void AlignControls(QWidget* Parent);

// Makes Parent realign its children whenever it is resized. Safe to call many
// times for the same parent; any control class with an Align property may use it.
void WatchAlignment(QWidget* Parent);
