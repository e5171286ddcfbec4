#pragma once

#include "ExternalTools.h"
#include "core/PrintHelper.h"
#include "platform/Delays.h"
#include "platform/ProgressHud.h"

#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The print dialog answered at once with a PDF file on Letter paper as the printer.
class PdfPrinting : public ::testing::Test {
protected:
    void SetUp() override
    {
        Delays::setFactor(0);
        PrintHelper::shared().setPrintDialog([this](QPrinter* printer, QWidget*, std::function<void(bool)> chosen) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf());
            printer->setPageSize(QPageSize(QPageSize::Letter));
            chosen(true);
        });
    }
    void TearDown() override
    {
        PrintHelper::shared().setPrintDialog({});
        ProgressHud::reset();
        Delays::setFactor(1);
    }
    QString pdf() const { return m_dir.filePath(QStringLiteral("card.pdf")); }

    // The printed pages as text, read back by poppler's pdftotext.
    QStringList pages() const
    {
        const auto run =
            ExternalTools::run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf(), QStringLiteral("-")});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QStringList result = QString::fromUtf8(run.out).split(QChar(0x0C));
        if (!result.isEmpty() && result.last().trimmed().isEmpty())
            result.removeLast();
        return result;
    }

    QTemporaryDir m_dir;
};
