#include "Estado.h"

#include <utility>

#include "Cp1252.h"

Estado::Estado(Causa causa, std::string nome, long long codigo)
    : causa_(causa), nome_(std::move(nome)), codigo_(codigo) {}

Estado Estado::sobre(std::string nome) && {
  if (!ok()) nome_ = std::move(nome);
  return std::move(*this);
}

std::string textoCausa(const Estado& resultado) {
  switch (resultado.causa()) {
    case Causa::nenhuma:
      return "";
    case Causa::semPermissao:
      return TXT("sem permissão");
    case Causa::discoCheio:
      return "disco cheio";
    case Causa::pasta:
      return TXT("é uma pasta");
    case Causa::ligacao:
      return TXT("é uma ligação simbólica");
    case Causa::ligacaoFisica:
      return TXT("é uma ligação física (tem mais de um nome)");
    case Causa::naoNormal:
      return TXT("não é um ficheiro normal");
    case Causa::naoExiste:
      return TXT("não existe");
    case Causa::jaExiste:
      return TXT("já existe");
    case Causa::soLeitura:
      return TXT("sistema de ficheiros só de leitura");
    case Causa::nomeLongo:
      return "nome demasiado longo";
    case Causa::ocupado:
      return "ocupado";
    case Causa::demasiadoGrande:
      return "ficheiro demasiado grande";
    case Causa::historicoInvalido:
      return TXT("histórico inválido");
    case Causa::entradaSaida:
      return TXT("erro de entrada/saída");
    case Causa::semTrancas:
      return TXT("o sistema de ficheiros não tem trancas");
    case Causa::outra:
      break;
  }
  return "erro " + std::to_string(resultado.codigo());
}

std::string textoFalha(const Estado& resultado) {
  return resultado.nome() + ": " + textoCausa(resultado);
}

std::string textoErroGravacao(const std::string& nome, const Estado& resultado) {
  return TXT("ERRO: Não foi possivel gravar o ficheiro ") + nome + " (" + textoFalha(resultado) +
         ")";
}
