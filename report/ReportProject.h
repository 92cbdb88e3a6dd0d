#pragma once
// TReportProject: the report project of the main window. It loads its project
// file once per process and runs the active report through a fresh output
// system for each run.
#include "report/ReportLayout.h"
#include "report/ReportPages.h"

#include <QString>
#include <chrono>
#include <functional>
#include <optional>

class QWidget;
class TReportSystem;

class TReportProject {
public:
    TReportProject() = default;
    TReportProject(const TReportProject&) = delete;
    TReportProject& operator=(const TReportProject&) = delete;

    const QString& ProjectFile() const { return m_projectFile; }
    /// A name without "." gets ".rpj" appended.
    void setProjectFile(const QString& fileName);

    /// Loads the project file unless the project is already open. Throws
    /// "The following reporting project does not exist:" + CR + the quoted
    /// absolute name when the file is missing; the loader's errors otherwise.
    void Open();
    bool Active() const { return m_project.has_value(); }
    /// The loaded project; only while Active().
    const report::Project& project() const { return *m_project; }

    /// Opens the project, then runs its active report: the lock, "Output
    /// Options", generation with "Report Status", delivery. Errors reach the
    /// caller after the data connections are restored.
    void Execute();

    /// Parent of the run's dialogs.
    QWidget* dialogParent = nullptr;
    /// How long a run waits for the data communication lock each time.
    std::chrono::milliseconds lockTimeout{5000};
    /// Called with the output system just before its dialog is shown (tests
    /// adjust printers, answer dialogs or observe the run through it).
    std::function<void(TReportSystem&)> onSystemCreated;
    /// Called with a run's pages once they are all generated, before they
    /// are delivered (tests and screenshots look at them here). A run keeps
    /// nothing of its pages after it ends.
    std::function<void(const report::PageSource&)> onPagesGenerated;

private:
    void runActiveReport();

    QString m_projectFile;
    std::optional<report::Project> m_project;
};
