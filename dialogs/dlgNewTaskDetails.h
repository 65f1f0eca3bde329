#pragma once

#include "dialogs/TaskForm.h"
#include "platform/Integer.h"

#include <optional>

class QPushButton;

// A new task: its title, day, period, note and repeat rule; choosing one of the six estimates stores it
// and closes the dialog. A new one is made for every request, so several may be open at once. It opens in
// the simple view (title, day, period, estimates); the advanced view adds the note and the repeat rule.
class dlgNewTaskDetails : public TaskForm {
    Q_OBJECT
public:
    static constexpr double Width = 6600;
    // The two views, in twips: the window's height and the top of the estimate frame.
    static constexpr double SimpleHeight = 3135;
    static constexpr double AdvancedHeight = 8745;
    static constexpr double SimpleEstimateTop = 1760;
    static constexpr double AdvancedEstimateTop = 7203;
    static constexpr int EstimateCount = 6;

    // Made, loaded and shown.
    explicit dlgNewTaskDetails(QWidget* parent = nullptr);

    // The hidden project preset: empty, or the id of the project the new task belongs to.
    QLabel* lblProject() const { return m_lblProject; }

    // False gives the advanced view, True the simple view; without a value the view toggles.
    void switchMode(std::optional<bool> simple = std::nullopt);
    // Sets the dialog up from the orbin's day and period and shows it, the focus in the title box.
    void Form_Load();

    // The estimate buttons, by their array index.
    void but_5_Min_Click(int index);

protected:
    void formUnload() override;

private:
    void buildControls();
    void txtTaskTitle_Change();
    // Stores the task; True when it was stored. Nothing is made when the day in the date box is no date.
    bool saveTask(Integer minutes);

    QGroupBox* m_frameSelectPeriod = nullptr;
    QRadioButton* m_rad[4] = {};
    QGroupBox* m_frameTimeEstimate = nullptr;
    QPushButton* m_but_5_Min[EstimateCount] = {};
    QPushButton* m_butAdvanced = nullptr;
    QLabel* m_lblProject = nullptr;
};
