#include "TextoUnidades.h"

#include <utility>

#include "Leitura.h"

LeituraUnidades leTextoUnidades(const std::string& nome, TextoUnidades& texto, std::string& razao) {
  const Estado lido = leFicheiroNormal(nome, &texto.conteudo);
  if (!lido.ok()) {
    if (lido.causa() != Causa::naoExiste) razao = textoCausa(lido);
    return LeituraUnidades::naoLida;
  }
  if (cp1252::marcaInicial(texto.conteudo) == cp1252::Marca::utf16) {
    razao = razaoUtf16;
    return LeituraUnidades::utf16;
  }
  texto.analise.acrescenta(cp1252::semMarcaUtf8(texto.conteudo));
  return LeituraUnidades::lida;
}

LeitorLinhas leitorUnidades(std::string conteudo, const cp1252::AnaliseTexto& analise,
                            const std::string& nome, std::ostream& mensagens) {
  LeitorLinhas leitor(std::move(conteudo), nome, mensagens);
  if (analise.utf8()) leitor.converteDeUtf8();
  return leitor;
}
