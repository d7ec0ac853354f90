// Scripted answers for the shell's modal boxes and file dialogs, installed for
// the lifetime of the object.
#pragma once

#include "gui/modals.h"

#include <QString>
#include <QStringList>

#include <deque>

struct TFakeDialogs : TDialogs {
    TFakeDialogs() : previous(SetDialogs(this)) {}
    ~TFakeDialogs() override { SetDialogs(previous); }
    TFakeDialogs(const TFakeDialogs&) = delete;
    TFakeDialogs& operator=(const TFakeDialogs&) = delete;

    // Answers given in turn; an empty queue answers Cancel / cancels the dialog.
    std::deque<TAnswer> answers;
    std::deque<QString> openPaths;
    std::deque<QString> savePaths;

    // What was shown.
    QStringList questions;
    QStringList questionTitles;
    QStringList errors;
    QStringList errorTitles;
    int openDialogs = 0;
    int saveDialogs = 0;
    QString lastFilter;
    QString lastProposed;
    QString lastDefaultExt;
    QString lastOpenPreset;

    TAnswer Ask(QWidget*, const QString& title, const QString& text) override {
        questionTitles << title;
        questions << text;
        return Take(answers, TAnswer::Cancel);
    }
    void Error(QWidget*, const QString& title, const QString& text) override {
        errorTitles << title;
        errors << text;
    }
    QString OpenFileName(QWidget*, const QString& filter, const QString& lastChosen) override {
        ++openDialogs;
        lastFilter = filter;
        lastOpenPreset = lastChosen;
        return Take(openPaths, QString());
    }
    QString SaveFileName(QWidget*, const QString& filter, const QString& proposed,
                         const QString& defaultExt) override {
        ++saveDialogs;
        lastFilter = filter;
        lastProposed = proposed;
        lastDefaultExt = defaultExt;
        return Take(savePaths, QString());
    }

private:
    template <class T>
    static T Take(std::deque<T>& queue, T fallback) {
        if (queue.empty()) return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }

    TDialogs* previous;
};
