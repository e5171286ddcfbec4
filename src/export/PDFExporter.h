#pragma once

#include "Exporter.h"

// A type with no writer: every export fails.
class PDFExporter : public Exporter {};
