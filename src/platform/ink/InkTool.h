#pragma once

// What a press on the canvas does.
enum class InkTool {
    // Lays down a new stroke in the chosen colour and width.
    Pen,
    // Removes every whole stroke it touches.
    Eraser,
};
