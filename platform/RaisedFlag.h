#pragma once

// Holds a flag raised for as long as it lives, however the scope is left: a routine that a box inside it
// can let run again (a timer's tick, a save) raises its flag, and the call that comes round meanwhile sees
// it and returns at once.
class RaisedFlag {
public:
    explicit RaisedFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~RaisedFlag() { m_flag = false; }
    RaisedFlag(const RaisedFlag&) = delete;
    RaisedFlag& operator=(const RaisedFlag&) = delete;

private:
    bool& m_flag;
};
