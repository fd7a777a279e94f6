#include "Apoio.h"
#include "Cp1252.h"
#include "FalhasEscrita.h"

// Saving writes the exact bytes, no temporary file left; a failure (here a file-size limit) leaves
// the old file as it was and no temporary file.
TEST(Gravacao, BytesExactosEFalhas) {
  PastaTemporaria p;
  const Texto& nome = ficheiroEstudantes;
  const Texto antigo =
      TXT("conteúdo antigo, mais comprido do que o novo") + ficheiroValido + ficheiroValido;
  p.c.escreve(nome, antigo);
  Listacurso k = carregaCurso(ficheiroValido);
  {
    const LimiteTamanho limite(10);
    EXPECT_EQ(gravaCurso(k), falhouGravar(nome + ": ficheiro demasiado grande"));
  }
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{nome, antigo}}));
  EXPECT_EQ(gravaCurso(k), gravouBem);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{nome, ficheiroValido}}));
  fs::rename(nome, "guardado");
  fs::create_directory(nome);
  EXPECT_EQ(gravaCurso(k), falhouGravar(nome + TXT(": é uma pasta")));
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{"guardado", ficheiroValido}}));
}

// After skipped lines, the first good save of a session keeps the original under the first free
// backup name, never over an earlier backup; no backup, no save.
TEST(Gravacao, CopiasDoOriginalNuncaSeSobrepoem) {
  PastaTemporaria p;
  const Texto& nome = ficheiroEstudantes;
  const Texto mau = crlf({"ALUNO;1001;Um", linhaAlgebra, TXT("21037;Estatística;1;2"), "",
                          "ALUNO;x;Mau", "", "ALUNO;1002;Dois", ""});
  p.c.escreve(nome, mau);
  Listacurso k = carregaCurso(mau);
  {
    const LimiteTamanho limite(10);
    EXPECT_EQ(gravaCurso(k), falhouGravar(nome + ".bak: ficheiro demasiado grande"));
  }
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{nome, mau}}));
  fs::create_directory(nome + ".bak");
  EXPECT_EQ(gravaCurso(k).second, copiado(nome + ".bak.1") + gravouBem.second);
  EXPECT_EQ(gravaCurso(k), gravouBem);
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{nome, ficheiroValido}, {nome + ".bak.1", mau}}));

  const Texto outro = mau + "solto\r\n";
  p.c.escreve(nome, outro);
  Listacurso segunda = carregaCurso(outro);
  EXPECT_EQ(gravaCurso(segunda).second, copiado(nome + ".bak.2") + gravouBem.second);
  EXPECT_EQ(p.c.ficheiros(),
            (Mapa{{nome, ficheiroValido}, {nome + ".bak.1", mau}, {nome + ".bak.2", outro}}));
}

// A power cut at any step of a save that first keeps the original (the fault-injecting watcher of
// the writes drops what was not flushed): the student file is the old or the new one, whole, the
// copy absent or whole; once the save has answered, both are on the disk.
TEST(Gravacao, QuedaDeEnergiaEmQualquerPasso) {
  PastaTemporaria p;
  const Texto& nome = ficheiroEstudantes;
  const Texto mau =
      crlf({"ALUNO;1001;Um", linhaAlgebra, "", "ALUNO;x;Mau", "", "ALUNO;1002;Dois", ""});
  p.c.escreve(nome, mau);
  Listacurso k = carregaCurso(mau);
  GravadorEscritas g;
  EXPECT_EQ(gravaCurso(k).second, copiado(nome + ".bak") + gravouBem.second);
  ASSERT_FALSE(g.quedas.empty());
  for (const Mapa& queda : g.quedas) {
    EXPECT_TRUE(queda.at(nome) == mau || queda.at(nome) == ficheiroValido) << queda.at(nome);
    EXPECT_TRUE(queda.count(nome + ".bak") == 0 || queda.at(nome + ".bak") == mau);
  }
  g.simulaQueda();
  EXPECT_EQ(p.c.ficheiros(), (Mapa{{nome, ficheiroValido}, {nome + ".bak", mau}}));
}

// A replacement that fails after the history's lines were written voids them (a history created by
// that save stays, holding the voided save): the history never records a save that did not
// happen, and the next save records the change once.
TEST(Gravacao, HistoricoDeUmaGravacaoFalhada) {
  PastaTemporaria p;
  const Texto& nome = ficheiroEstudantes;
  const Texto historico = "12-Historico.txt";
  p.c.escreve(nome, ficheiroValido);
  Listacurso k = carregaCurso(ficheiroValido);
  auto falhaRenomeando = [&k]() {
    GravadorEscritas gravador;
    gravador.recusa = [](PassoEscrita passo, const Texto&, const Texto&) {
      return passo == PassoEscrita::renomeacao;
    };
    EXPECT_EQ(gravaCurso(k).first, 0);
  };
  const auto verificado = [&p, &historico] {
    const Texto conteudo = p.c.le(historico);
    historico::LeitorHistorico leitor(conteudo);
    return historico::verifica(leitor);
  };
  k.alteraListaEstudantes()[0].alteraListaUCs()[0].setProvaFinal(10);
  falhaRenomeando();
  EXPECT_EQ(p.c.le(nome), ficheiroValido);
  EXPECT_EQ(historicoLegivel(p.c.le(historico)), "");
  EXPECT_EQ(verificado().anuladas, 1);
  const Texto anulada = p.c.le(historico);
  EXPECT_EQ(gravaCurso(k), gravouBem);
  const Texto umaGravacao = p.c.le(historico);
  EXPECT_EQ(umaGravacao.rfind(anulada, 0), 0u);  // appended to, nothing rewritten
  EXPECT_EQ(historicoLegivel(umaGravacao), "dialogo;1001;21002;pFolio/Exame;9.5;10\n");
  k.alteraListaEstudantes()[0].alteraListaUCs()[0].setProvaFinal(11);
  falhaRenomeando();
  EXPECT_EQ(historicoLegivel(p.c.le(historico)), historicoLegivel(umaGravacao));
  EXPECT_EQ(gravaCurso(k), gravouBem);
  const Texto duas = p.c.le(historico);
  EXPECT_EQ(historicoLegivel(duas),
            "dialogo;1001;21002;pFolio/Exame;9.5;10\ndialogo;1001;21002;pFolio/Exame;10;11\n");
  EXPECT_EQ(verificado().anuladas, 2);
  EXPECT_EQ(gravaCurso(k), gravouBem);  // nothing changed: nothing recorded
  EXPECT_EQ(p.c.le(historico), duas);
}

// Each write step of a save that appends to the history and replaces the student file, failed in
// turn through the seam (a history already there, and one the save creates): the save either
// fails, saying so with the file whose step failed and never a temporary name, and leaves the
// student file as it was and the history recording nothing that stands, or (a folder's flush or
// the mark after the rename, which are no error) is done, the history telling it; no temporary
// file is left either way. After a power cut at any step the history holds whole lines only.
TEST(Gravacao, CadaPassoFalhado) {
  PastaTemporaria p;
  const Texto& nome = ficheiroEstudantes;
  const Texto historico = "12-Historico.txt";
  const Texto mudanca = "dialogo;1001;21002;pFolio/Exame;9.5;10\n";
  for (const bool comHistorico : {true, false}) {
    SCOPED_TRACE(comHistorico);
    const Texto historicoAntes = comHistorico ? Texto(historico::inicioFicheiro) : Texto();
    const auto grava = [&](size_t falhado, std::vector<Texto>* passos) {
      for (const auto& e : fs::directory_iterator(".")) fs::remove(e.path());
      p.c.escreve(nome, ficheiroValido);
      if (comHistorico) p.c.escreve(historico, historicoAntes);
      Listacurso k = carregaCurso(ficheiroValido);
      k.alteraListaEstudantes()[0].alteraListaUCs()[0].setProvaFinal(10);
      GravadorEscritas g;
      size_t vistos = 0;
      g.recusa = [&](PassoEscrita, const Texto&, const Texto&) { return vistos++ == falhado; };
      g.causaRecusa = Causa::discoCheio;
      const auto r = gravaCurso(k);
      for (const Mapa& queda : g.quedas) {
        if (queda.count(historico) == 0) continue;
        const Texto h = historicoLegivel(queda.at(historico));
        EXPECT_TRUE(h.empty() || h == mudanca) << h;
      }
      if (passos != nullptr) *passos = g.passos;
      return r;
    };
    std::vector<Texto> passos;
    ASSERT_EQ(grava(size_t(-1), &passos), gravouBem);
    ASSERT_GE(passos.size(), 7u);
    const Texto novo = p.c.le(nome);
    ASSERT_NE(novo, ficheiroValido);
    for (size_t i = 0; i < passos.size(); ++i) {
      SCOPED_TRACE(passos[i]);
      const auto r = grava(i, nullptr);
      const Mapa depois = p.c.ficheiros();
      for (const auto& [f, conteudo] : depois) EXPECT_EQ(f.find(".tmp."), Texto::npos) << f;
      const Texto legivel =
          depois.count(historico) ? historicoLegivel(depois.at(historico), nome) : Texto();
      if (r.first == 1) {
        // A folder's flush and the mark after the rename are no error; a history that cannot
        // be linked into place is created exclusively instead.
        const bool semErro = passos[i].rfind("descargaPasta ", 0) == 0 || i + 1 == passos.size() ||
                             passos[i].rfind("ligacao " + historico + ".tmp.", 0) == 0 ||
                             passos[i].rfind("remocao " + historico + ".tmp.", 0) == 0;
        EXPECT_TRUE(semErro);
        EXPECT_EQ(depois.at(nome), novo);
        EXPECT_EQ(legivel, mudanca);
        continue;
      }
      Texto alvo = semAleatorio(passos[i].substr(passos[i].find(' ') + 1));
      alvo = alvo.substr(alvo.rfind(' ') + 1);
      const Texto falhou = alvo.substr(0, alvo.find(".tmp.*"));
      EXPECT_EQ(r.second, naoGravou(nome, falhou + ": disco cheio"));
      EXPECT_EQ(depois.at(nome), ficheiroValido);
      EXPECT_EQ(legivel, "");
    }
  }
}
