#pragma once

#include "markup/markup_request.h"

#include <QString>

class TCanvas;

// One DrawMarkup call: lays Markup out line by line, a measure pass and a
// second pass per line, and fills Result. PointAnchor and PointAnchorRect
// keep what Result held unless an anchor is found at the point.
void RunMarkupCall(TCanvas& Canvas, const QString& Markup, const TMarkupRequest& Request,
                   TMarkupResult& Result);
