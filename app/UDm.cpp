#include "app/UDm.h"

#include "app/Guarded.h"
#include "platform/AppPaths.h"
#include "platform/IniFile.h"

TDM* DM = nullptr;

std::array<std::string, 4>& HorasProgramadas() {
  static std::array<std::string, 4> horas;
  return horas;
}

TDM::TDM(QObject* parent) : QObject(parent), tbconfiguracao(&MyConnection1) {
  MyConnection1.Username = "root";
  MyConnection1.Password = kPassword;
  MyConnection1.LoginPrompt = false;
  MyConnection1.ConnectionTimeout = 120;
  MyConnection1.Pooling = true;
  // Always the direct protocol: the DIRECT key belongs to the backup window only.
  MyConnection1.Options.Direct = true;

  tbconfiguracao.SetTableName("configuracao");
  for (const db::TPersistentField& f : {
           db::TPersistentField{"Controle", 0}, {"Nome", 50}, {"Endereco", 50}, {"Bairro", 40}, {"Cidade", 40},
           {"Estado", 2}, {"Cep", 8}, {"Tel1", 15}, {"Tel2", 15}, {"Fax", 15}, {"Email", 50}, {"Setor", 50},
           {"Cpf", 14}, {"Cnpj", 15}, {"Insc", 15}, {"NomeResponsavel", 50}, {"Email02", 50}})
    tbconfiguracao.AddPersistentField(f);

  tmr1.setInterval(10000);
  QObject::connect(&tmr1, &QTimer::timeout, this, [this] { tmr1Timer(); });
  tmr1.start();
  DM = this;
}

TDM::~TDM() {
  if (DM == this) DM = nullptr;
}

std::string TDM::tbconfiguracaoNome() {
  if (!tbconfiguracao.Active() || tbconfiguracao.Eof()) return {};
  db::TField* nome = tbconfiguracao.FindField("Nome");
  return nome ? nome->AsString() : std::string();
}

void TDM::Carregahora() {
  const platform::TIniFile ini(platform::AdminIniPath());
  auto& horas = HorasProgramadas();
  horas[0] = ini.ReadString("PROGRAMACAO", "horaprog", "");
  horas[1] = ini.ReadString("PROGRAMACAO", "horaprog01", "");
  horas[2] = ini.ReadString("PROGRAMACAO", "horaprog02", "");
  horas[3] = ini.ReadString("PROGRAMACAO", "horaprog03", "");
}

void TDM::tmr1Timer() {
  app::guarded([this] { CarregaConfiguracao(); });
}

void TDM::CarregaConfiguracao() {
  // Off before anything can fail, so the load never runs twice.
  tmr1.stop();
  const platform::TIniFile ini(platform::AdminIniPath());
  const int porta = ini.ReadInteger("LOCAL", "PORTA", 0);
  const std::string servidor = ini.ReadString("LOCAL", "SERVIDOR", "");
  const std::string banco = ini.ReadString("LOCAL", "BANCO", "");
  MyConnection1.Close();
  MyConnection1.Port = porta > 0 ? static_cast<unsigned>(porta) : 0;
  MyConnection1.Server = servidor;
  MyConnection1.Database = banco;
  MyConnection1.Open();
  tbconfiguracao.Open();
}
