#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

// Answers every modal message box while it lives, so that no test can hang on one: every
// 10 ms it looks for the active modal widget, records its caption and text and accepts it.
class ResultBoxCatcher : public QObject {
public:
    struct Box {
        std::string caption;
        std::string text;
    };

    // onShown runs when a box is found, before it is accepted.
    explicit ResultBoxCatcher(std::function<void()> onShown = {});

    std::vector<Box> boxes;

private:
    void poll();

    QTimer timer_;
    std::function<void()> onShown_;
};
