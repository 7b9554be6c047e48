#include "app/ProgramStartup.h"

#include "framework/core/Application.h"
#include "framework/core/StyleManager.h"
#include "mainwindow/Unit12.h"

void RunStartupBlock(fw::TApplication& application, bool selectStyle) {
  application.Initialize();
  application.UseMetropolisUI();
  if (selectStyle) fw::TStyleManager::TrySetStyle("Metropolis UI Dark", true);
  application.SetMainFormOnTaskBar(true);
  application.SetTitle("Кабинет Duvuzezera");
  application.CreateForm(Form12);
}
