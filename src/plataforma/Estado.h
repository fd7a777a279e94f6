// The result of an operation on the system, as the operations of this folder
// answer it: success, or a failure with its cause and the name of the file
// (or folder) it concerns. Nothing here is a text the user reads until a
// message is printed: the words for each cause come from one table
// (textoCausa), called where the message is made, so a caller that decides
// by the cause tests the enumeration.
#ifndef PAUTA_ESTADO_H
#define PAUTA_ESTADO_H

#include <string>

// Why an operation failed.
enum class Causa {
  nenhuma,            // it did not: success
  semPermissao,       // "sem permissão"
  discoCheio,         // "disco cheio" (a quota too)
  pasta,              // "é uma pasta"
  ligacao,            // "é uma ligação simbólica"
  ligacaoFisica,      // "é uma ligação física (tem mais de um nome)"
  naoNormal,          // "não é um ficheiro normal" (a FIFO, device, socket)
  naoExiste,          // "não existe"
  jaExiste,           // "já existe"
  soLeitura,          // "sistema de ficheiros só de leitura"
  nomeLongo,          // "nome demasiado longo"
  ocupado,            // "ocupado"
  demasiadoGrande,    // "ficheiro demasiado grande" (a file-size limit)
  historicoInvalido,  // "histórico inválido"
  entradaSaida,       // "erro de entrada/saída"
  semTrancas,         // the file system takes no locks
  outra,              // "erro N", N the system's own number
};

class [[nodiscard]] Estado {
 public:
  // Success.
  Estado() = default;
  // A failure for `causa` concerning `nome`, with the system's number
  // `codigo` (shown only for Causa::outra). Causa::nenhuma is success.
  Estado(Causa causa, std::string nome, long long codigo = 0);

  bool ok() const { return causa_ == Causa::nenhuma; }
  Causa causa() const { return causa_; }
  // The file or folder the failure concerns (empty on success).
  const std::string& nome() const { return nome_; }
  long long codigo() const { return codigo_; }

  // The same result, a failure now concerning `nome`.
  Estado sobre(std::string nome) &&;

 private:
  Causa causa_ = Causa::nenhuma;
  std::string nome_;
  long long codigo_ = 0;
};

// The user's words for the cause of `resultado` (CP1252): "sem permissão",
// "disco cheio", ..., "erro N" for Causa::outra. The one table of them.
std::string textoCausa(const Estado& resultado);
// "NAME: REASON" of a failure.
std::string textoFalha(const Estado& resultado);
// The message for a file `nome` that could not be written:
// "ERRO: Não foi possivel gravar o ficheiro NOME (NAME: REASON)", without a
// line end.
std::string textoErroGravacao(const std::string& nome, const Estado& resultado);

#endif
