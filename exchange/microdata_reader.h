#pragma once
// The recipes a web page marks up as schema.org microdata: each element with itemscope whose
// itemtype names http(s)://schema.org/Recipe, wherever it stands (a recipe inside another item
// too). Its properties are read as HTML's microdata rules give their values; a property that is
// an item of its own (an author as a Person, steps as HowToStep, sections as HowToSection) brings
// only its own properties, never the outer recipe's. itemref is not followed.
//
// The properties are handed to the JSON-LD reader's recipe builder, so a recipe comes out exactly
// as the same recipe given as JSON-LD does, "Source: <link>" line included.

#include "exchange/html_document.h"
#include "exchange/mealmaster_reader.h"

#include <QByteArray>
#include <QUrl>

namespace exchange {

// sourceName (the file's name or the link) starts each place given, followed by the recipe's
// number in the page ("page.html, microdata recipe 2"). A recipe without a name is told to
// onProblem and skipped. Returns how many recipes the page marks up, read or not.
int readMicrodata(const HtmlDocument &page, const QString &sourceName, const QUrl &pageUrl, const RecipeSink &onRecipe,
                  const ProblemSink &onProblem);

}  // namespace exchange
