#pragma once

// The figure of a project an achievement is measured by; the raw values are stored by nobody but kept
// as they were defined.
enum class MetricType : int {
    wordCount = 0,
    averageWordsPerDay = 1,
    streakDays = 2,
};
