#pragma once

#include "BenchSupport.h"

#include <QObject>

#include <cstdint>

namespace tnBench {

class QtSender : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void fired(int value);
};

// One flag that many objects follow, as a setting that enables actions.
class QtSwitch : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void changed(bool on);
};

class QtCounter : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void onValue(int /*value*/) { touch(count); }

public:
    std::int64_t count = 0;
};

} // namespace tnBench
